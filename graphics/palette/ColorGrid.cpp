// The colour grid's order table and geometry.
#include "graphics/palette/ColorGrid.h"

const std::array<uint16_t, kGridOrderEntries> kInitialGridOrder = {
    0,  61,  56, 17, 116, 62,  215, 20,   //
    87, 60,  54, 16, 122, 64,  214, 21,   //
    88, 59,  53, 4,  131, 72,  213, 11,   //
    90, 58,  2,  47, 128, 7,   209, 25,   //
    91, 1,   50, 3,  140, 175, 205, 26,   //
    92, 119, 49, 39, 8,   174, 204, 10,   //
    93, 112, 48, 38, 146, 6,   5,   29,   //
    94, 120, 42, 37, 9,   162, 191, 255,  //
};

namespace {
std::array<uint16_t, kGridOrderEntries> g_order = kInitialGridOrder;
}

std::span<const uint16_t, kGridOrderEntries> GridOrderTable() { return g_order; }

void SetGridOrderEntry(int position, uint16_t index) {
    if (position >= 0 && position < kGridOrderEntries)
        g_order[static_cast<size_t>(position)] = index;
}

void ResetGridOrderTable() { g_order = kInitialGridOrder; }

int GridOrderPositionOf(uint16_t index) {
    int found = 0;
    for (int i = 0; i < kGridOrderEntries; ++i)
        if (g_order[static_cast<size_t>(i)] == index)
            found = i;
    return found;
}

uint16_t GridCellToPaletteIndex(int cell, int columns) {
    if (columns == 8 && cell >= 0 && cell < kGridOrderEntries)
        return g_order[static_cast<size_t>(cell)];
    return static_cast<uint16_t>(cell);
}

ColorGridGeometry MakeColorGridGeometry(int left, int top, int right, int bottom, int rows, int columns) {
    ColorGridGeometry grid;
    if (rows <= 0 || columns <= 0)
        return grid;
    grid.left = left;
    grid.top = top;
    grid.cellWidth = static_cast<double>(right - left) / columns;
    grid.cellHeight = static_cast<double>(bottom - top) / rows;
    grid.rows = rows;
    grid.columns = columns;
    return grid;
}

ColorGridCell ColorGridCellAt(const ColorGridGeometry& grid, int cell) {
    if (grid.columns <= 0)
        return {};
    const double x = grid.left + (cell % grid.columns) * grid.cellWidth;
    const double y = grid.top + (cell / grid.columns) * grid.cellHeight;
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + grid.cellWidth),
            static_cast<int>(y + grid.cellHeight)};
}

int ColorGridCellOfPoint(const ColorGridGeometry& grid, int x, int y) {
    const int cells = grid.rows * grid.columns;
    for (int cell = 0; cell < cells; ++cell) {
        const ColorGridCell c = ColorGridCellAt(grid, cell);
        if (c.left <= x && x < c.right && c.top <= y && y < c.bottom)
            return cell;
    }
    return -1;
}
