// New graphic objects from the paint selection, from a cropped picture, and the click that
// fixes a placed one.
#include "authoring/graphics/GraphicMaking.h"

#include <algorithm>

#include "core/events/EditorGuard.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/BitmapCopy.h"
#include "objects/ObjectServices.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "paint/Selections.h"
#include "authoring/graphics/GraphicAppearance.h"
#include "authoring/graphics/PictureCrop.h"

namespace {

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}


// A copy of the floating rectangle selection's own bitmap: what the screen shows there also
// carries the selection's dashed frame and whatever covers the window.
HBITMAP CopyRectSelectionBitmap() {
    RECT rect{};
    CopyRectSelection(&rect);
    HBITMAP bitmap = nullptr;
    RECT same = rect;
    SwapRectSelection(&same, &bitmap);  // borrowed for the copy, given back below
    HBITMAP copy = bitmap ? DuplicateBitmap(bitmap) : nullptr;
    same = rect;
    SwapRectSelection(&same, &bitmap);
    return copy;
}

// A mask smaller than the picture grows to the picture's size + 1, black where it was not.
HBITMAP MaskFitting(HBITMAP mask, SIZE picture) {
    const SIZE size = BitmapSizeOf(mask);
    if (size.cx >= picture.cx && size.cy >= picture.cy)
        return DuplicateBitmap(mask);
    const int width = std::max<int>(size.cx, picture.cx + 1), height = std::max<int>(size.cy, picture.cy + 1);
    HBITMAP grown = CreateBitmap(width, height, 1, 1, nullptr);
    MemoryDC to(nullptr), from(nullptr);
    if (!grown || !to || !from)
        return grown;
    SelectedObject into(to.get(), grown);
    SelectedObject out(from.get(), mask);
    PatBlt(to.get(), 0, 0, width, height, BLACKNESS);
    BitBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, SRCCOPY);
    return grown;
}

// The placement holds a picture from a selection: the appearance dialog decides.
void OpenAppearanceForSelection(HWND window) {
    const EditorGuard guard;
    GraphicPlacement& p = GetGraphicPlacement();
    p.purpose = 'G';
    const SIZE size = BitmapSizeOf(p.picture);
    p.source = {0, 0, size.cx, size.cy};
    ResetPlacedGraphicSettings();
    p.fromSelection = true;
    RunGraphicAppearanceDialog(window, p);
}

void TakeMaskSelection(HWND window, HBITMAP mask, HBITMAP outline, int x, int y) {
    GraphicPlacement& p = GetGraphicPlacement();
    HBITMAP pixels = nullptr;
    COLORREF hole = RGB(255, 255, 255);
    GetMaskSelection(&pixels, nullptr, nullptr, nullptr, &hole);
    CancelPlacedGraphic(window);
    DeleteBitmap(p.heldMask);
    p.picture = DuplicateBitmap(pixels);
    p.mask = MaskFitting(mask, BitmapSizeOf(p.picture));
    p.outline = outline ? DuplicateBitmap(outline) : nullptr;
    p.heldMask = DuplicateBitmap(mask);
    p.lassoAt = {x, y};
    p.holeColor = hole;
    p.cropKind = kCropLasso;
    FreeMaskSelection();
}

}  // namespace

void MakeGraphicObjectCommand(HWND window) {
    GraphicPlacement& p = GetGraphicPlacement();
    if (IsRectSelectionActive()) {
        RECT rect = {};
        CopyRectSelection(&rect);
        HBITMAP copy = CopyRectSelectionBitmap();
        if (!copy)
            return;
        CancelPlacedGraphic(window);
        p.picture = copy;
        p.placed = rect;
        p.cropKind = kCropRectangle;
        OpenAppearanceForSelection(window);
        return;
    }
    HBITMAP pixels = nullptr, mask = nullptr;
    int x = 0, y = 0;
    if (GetMaskSelection(&pixels, &mask, &x, &y, nullptr) && pixels && mask) {
        TakeMaskSelection(window, mask, nullptr, x, y);
        OpenAppearanceForSelection(window);
        return;
    }
    OpenPictureCropDialog(window, 'G', nullptr, {}, true);
}

void MakeGraphicFromSelection(HWND window, HBITMAP mask, HBITMAP outline, int x, int y) {
    if (!mask)
        return;
    TakeMaskSelection(window, mask, outline, x, y);
    OpenAppearanceForSelection(window);
}

int PlacedGraphicClick(HWND window, int x, int y) {
    const int taken = PlacedGraphicMouseDown(window, x, y);
    if (taken == kPlacedGraphicFixed) {
        const EditorGuard guard;
        RunGraphicAppearanceDialog(window, GetGraphicPlacement());
    }
    return taken;
}

bool DropGraphicSelectionAt(HWND window, int x, int y) {
    if (!IsGraphicSelection())
        return false;
    HBITMAP pixels = nullptr, mask = nullptr;
    int left = 0, top = 0;
    GetMaskSelection(&pixels, &mask, &left, &top, nullptr);
    const SIZE size = BitmapSizeOf(pixels);
    const RECT shown = {left, top, left + size.cx, top + size.cy};
    if (PtInRect(&shown, POINT{x, y}))
        return false;
    OwnedGdiObject<HBITMAP> keptMask(DuplicateBitmap(mask));
    OwnedGdiObject<HBITMAP> outline(keptMask ? MaskOutlineThin(keptMask.get()) : nullptr);
    MakeGraphicFromSelection(window, keptMask.get(), outline.get(), left, top);
    return true;
}
