#include "objects/graphics/GraphicPlacement.h"

#include "objects/ObjectServices.h"

#include <cstring>

namespace {
GraphicPlacement g_placement;
HCURSOR g_lassoCursor = nullptr;
HCURSOR g_crossCursor = nullptr;

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
}
}  // namespace

GraphicPlacement& GetGraphicPlacement() { return g_placement; }

void ClearGraphicPlacement() {
    DeleteBitmap(g_placement.picture);
    DeleteBitmap(g_placement.mask);
    DeleteBitmap(g_placement.outline);
    DeleteBitmap(g_placement.undoPicture);
    DeleteBitmap(g_placement.heldMask);
    std::memset(&g_placement, 0, sizeof g_placement);
}

void LoadCropCursors(HINSTANCE module) {
    g_lassoCursor = LoadCursorA(module, "LASSO");
    g_crossCursor = LoadCursorA(module, "CROSS");
}

HCURSOR GetCropCursor(CropKind kind) {
    HCURSOR cursor = kind == kCropLasso ? g_lassoCursor : g_crossCursor;
    return cursor ? cursor : LoadCursorA(nullptr, IDC_ARROW);
}
