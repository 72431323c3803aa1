// Placing a new graphic object: the picture stretched into the placement rectangle, moved and
// sized by its handles and the arrow keys, fixed by a click outside it.
#include "objects/graphics/GraphicPlacing.h"

#include <algorithm>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectServices.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/LassoPoints.h"
#include "stack/StackOpenSession.h"

namespace {

void InvalidateAround(HWND window, RECT rect) {
    InflateRect(&rect, 2, 2);
    if (window)
        InvalidateRect(window, &rect, FALSE);
}

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}

}  // namespace

void StartPlacingGraphic(HWND window) {
    GraphicPlacement& p = GetGraphicPlacement();
    const int width = p.source.right - p.source.left, height = p.source.bottom - p.source.top;
    const RECT centred = CentredOnCard(window, width, height);
    int left = centred.left, top = centred.top;
    SnapPointToGrid(&left, &top);
    p.placed = {left, top, left + width, top + height};
    p.placing = p.shown = true;
    p.resizeHandle = 0;
    if (window)
        InvalidateRect(window, nullptr, FALSE);
}

void ResetPlacedGraphicSettings() {
    GraphicPlacement& p = GetGraphicPlacement();
    p.frameWidth = 0;
    p.frameColorIndex = 0;
    p.objectFlags = 0;
    p.pictureFlags = 0;
    p.actionId = 0;
    p.cursorId = 0;
    p.transparency = 0;
    p.name[0] = 0;
    p.editedLayer = nullptr;
    p.newObjectId = NewUniqueObjectId();
}

int PlacedGraphicMouseDown(HWND window, int x, int y) {
    GraphicPlacement& p = GetGraphicPlacement();
    if (!p.placing)
        return 0;
    const int handle = HitTestHandle(PaintRectOf(p.placed), x, y);
    if (handle == 0) {
        p.placing = p.shown = false;
        InvalidateAround(window, p.placed);
        ResetPlacedGraphicSettings();
        return kPlacedGraphicFixed;
    }
    p.resizeHandle = handle;
    p.anchor = {x, y};
    p.resizeAnchor = p.placed;
    if (window)
        SetCapture(window);
    return 1;
}

int PlacedGraphicMouseMove(HWND window, int x, int y) {
    GraphicPlacement& p = GetGraphicPlacement();
    if (!p.placing)
        return 0;
    if (!p.resizeHandle) {
        SetCursor(HandleCursor(HitTestHandle(PaintRectOf(p.placed), x, y)));
        return 1;
    }
    const RECT before = p.placed;
    p.placed = RectOf(ResizeRectByHandle(PaintRectOf(p.resizeAnchor), p.resizeHandle, x - p.anchor.x, y - p.anchor.y));
    CopyBitmapThroughRegion(window, before, p.placed, p.picture, p.source, true);
    return 1;
}

int PlacedGraphicMouseUp() {
    GraphicPlacement& p = GetGraphicPlacement();
    if (!p.placing || !p.resizeHandle)
        return 0;
    HWND window = GetCapture();
    PaintRect snapped = PaintRectOf(p.placed);
    SnapHandleToGrid(p.resizeHandle, &snapped);
    InvalidateAround(window, p.placed);
    p.placed = RectOf(snapped);
    p.resizeHandle = 0;
    InvalidateAround(window, p.placed);
    if (window)
        ReleaseCapture();
    return 1;
}

int NudgePlacedGraphic(WPARAM key, bool shiftLatch) {
    GraphicPlacement& p = GetGraphicPlacement();
    int dx = 0, dy = 0;
    if (!p.placing || p.resizeHandle || !ArrowKeyDelta(static_cast<unsigned>(key), shiftLatch, &dx, &dy))
        return 0;
    HWND window = GetCardWindow();
    InvalidateAround(window, p.placed);
    OffsetRect(&p.placed, dx, dy);
    InvalidateAround(window, p.placed);
    return 1;
}

bool IsPlacedGraphicShown() {
    const GraphicPlacement& p = GetGraphicPlacement();
    return p.placing && p.shown;
}

void DrawPlacedGraphic(HWND window) {
    const GraphicPlacement& p = GetGraphicPlacement();
    if (!IsPlacedGraphicShown() || !p.picture)
        return;
    WindowDC dc(window);
    MemoryDC source(dc.get());
    if (!dc || !source)
        return;
    SelectedObject picture(source.get(), p.picture);
    SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SetStretchBltMode(dc.get(), COLORONCOLOR);
    StretchBlt(dc.get(), p.placed.left, p.placed.top, p.placed.right - p.placed.left, p.placed.bottom - p.placed.top,
               source.get(), p.source.left, p.source.top, p.source.right - p.source.left,
               p.source.bottom - p.source.top, SRCCOPY);
}

void DrawPlacedGraphicFrame(HWND window, int phase) {
    const GraphicPlacement& p = GetGraphicPlacement();
    if (!IsPlacedGraphicShown() || p.resizeHandle)
        return;
    WindowDC dc(window);
    if (!dc)
        return;
    ClipToCard(window, dc.get());
    DrawMarchingOutline(dc.get(), p.placed, phase & 7);
}

void CancelPlacedGraphic(HWND window) {
    GraphicPlacement& p = GetGraphicPlacement();
    if (p.cropDialogOpen)
        return;
    if (p.placing)
        InvalidateAround(window, p.placed);
    DeleteBitmap(p.picture);
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    LassoFreePoints();
    p.placing = p.shown = false;
    p.resizeHandle = 0;
}
