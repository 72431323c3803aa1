#include "objects/graphics/GraphicPlacement.h"

#include <cstring>

namespace {
GraphicPlacement g_placement;

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
    std::memset(&g_placement, 0, sizeof g_placement);
}
