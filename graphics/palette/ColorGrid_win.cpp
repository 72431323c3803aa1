// Drawing the colour grid, framing its selection and tracking clicks on it.
#include <windowsx.h>

#include <array>

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/PaletteCaption.h"
#include "graphics/palette/AppPalette.h"

namespace {

// The first application palette index whose colour is exactly the custom colour, or -1.
int CustomColorEntry() {
    HPALETTE palette = GetAppPalette();
    std::array<PALETTEENTRY, 256> entries{};
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries.data()) : 0;
    for (UINT i = 0; i < count; ++i)
        if (RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue) == GetCustomColor())
            return static_cast<int>(i);
    return -1;
}

void DrawCells(HDC dc, const ColorGridGeometry& grid) {
    SelectedObject pen(dc, GetStockObject(WHITE_PEN));
    for (int cell = 0; cell < grid.rows * grid.columns; ++cell) {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(GridCellToPaletteIndex(cell, grid.columns))));
        SelectedObject selected(dc, brush.get());
        const ColorGridCell c = ColorGridCellAt(grid, cell);
        Rectangle(dc, c.left, c.top, c.right + 1, c.bottom + 1);
    }
}

// Inverting, so that framing the same cells again takes the frame away.
void FrameCells(HDC dc, const ColorGridGeometry& grid, int index) {
    SelectedObject brush(dc, GetStockObject(HOLLOW_BRUSH));
    SelectedObject pen(dc, GetStockObject(BLACK_PEN));
    const int previousMix = SetROP2(dc, R2_NOT);
    for (int cell = 0; cell < grid.rows * grid.columns; ++cell) {
        if (GridCellToPaletteIndex(cell, grid.columns) != index)
            continue;
        const ColorGridCell c = ColorGridCellAt(grid, cell);
        Rectangle(dc, c.left, c.top, c.right + 1, c.bottom + 1);
    }
    SetROP2(dc, previousMix);
}

}  // namespace

int ColorGridOpOn(HDC dc, int left, int top, int right, int bottom, int mode, int x, int y, int rows, int columns,
                  int index, BOOL caption) {
    int framed = index;
    if (mode == kGridFrame && GetDisplayBitsPerPixel() > 8) {
        if (index >= kFirstIndexPastCustom)
            return index;
        if (index == kCustomColorIndex) {
            framed = CustomColorEntry();
            if (framed < 0)
                return index;
        }
    }
    if (caption)
        top += PaletteCaptionHeight();
    const ColorGridGeometry grid = MakeColorGridGeometry(left, top, right, bottom, rows, columns);
    if (mode == kGridHitTest) {
        const int cell = ColorGridCellOfPoint(grid, x, y);
        return cell < 0 ? kNoGridCell : GridCellToPaletteIndex(cell, columns);
    }
    if (!dc)
        return index;
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    if (mode == kGridDraw)
        DrawCells(dc, grid);
    else if (mode == kGridFrame)
        FrameCells(dc, grid, framed);
    return index;
}

int ColorGridOp(HWND window, int left, int top, int right, int bottom, int mode, int x, int y, int rows, int columns,
                int index, BOOL caption) {
    if (mode == kGridHitTest)
        return ColorGridOpOn(nullptr, left, top, right, bottom, mode, x, y, rows, columns, index, caption);
    WindowDC dc(window);
    return ColorGridOpOn(dc.get(), left, top, right, bottom, mode, x, y, rows, columns, index, caption);
}

int DrawColorGrid(HWND window, int mode, int x, int y, int rows, int columns, int index) {
    RECT client = {};
    GetClientRect(window, &client);
    return ColorGridOp(window, client.left, client.top, client.right, client.bottom, mode, x, y, rows, columns, index,
                       FALSE);
}

void DrawColorGridItem(HWND item, HDC dc, int rows, int columns, int index) {
    RECT client = {};
    GetClientRect(item, &client);
    for (const int mode : {kGridDraw, kGridFrame})
        ColorGridOpOn(dc, client.left, client.top, client.right, client.bottom, mode, 0, 0, rows, columns, index, FALSE);
}

int MoveColorGridSelection(HWND dialog, int x, int y, int itemId, int rows, int columns, uint16_t* index) {
    HWND item = GetDlgItem(dialog, itemId);
    RECT bounds;
    if (!item || !index || !GetWindowRect(item, &bounds))
        return 0;
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&bounds), 2);
    if (!(bounds.left < x && x < bounds.right && bounds.top < y && y < bounds.bottom))
        return 0;
    POINT inItem = {x, y};
    MapWindowPoints(dialog, item, &inItem, 1);
    DrawColorGrid(item, kGridFrame, 0, 0, rows, columns, *index);
    const int found = DrawColorGrid(item, kGridHitTest, inItem.x, inItem.y, rows, columns, *index);
    // A point on the item's border lies in no cell: the selection stays.
    if (found != kNoGridCell)
        *index = static_cast<uint16_t>(found);
    DrawColorGrid(item, kGridFrame, 0, 0, rows, columns, *index);
    return 1;
}
