// The colour grid: the palette shown as 16 x 16 cells (one per entry) or as 8 x 8 cells through
// the order table, which the "MCOLORS" dialog edits. The geometry and the table are
// platform-neutral; drawing and tracking are in ColorGrid_win.cpp (AppPalette.h).
#pragma once

#include <array>
#include <cstdint>
#include <span>

inline constexpr int kGridOrderEntries = 64;
inline constexpr uint16_t kNoGridCell = 0xFFFF;

// The palette indexes of the 8 x 8 grid, row by row, as every start begins with them.
extern const std::array<uint16_t, kGridOrderEntries> kInitialGridOrder;

// The order table in force (changed by the "MCOLORS" dialog, kept in memory only).
std::span<const uint16_t, kGridOrderEntries> GridOrderTable();
void SetGridOrderEntry(int position, uint16_t index);  // positions 0..63; others are ignored
void ResetGridOrderTable();
// The last position that holds the index; the first position when none does.
int GridOrderPositionOf(uint16_t index);

// The palette index a cell shows: the cell number itself, except in an 8-column grid, where it
// is the order table's entry for the cell.
uint16_t GridCellToPaletteIndex(int cell, int columns);

// Cells split the area evenly in floating point, row by row from (left, top), and are truncated
// to whole pixels only when used; so a cell's right edge is the next cell's left edge.
struct ColorGridGeometry {
    double left = 0, top = 0;
    double cellWidth = 0, cellHeight = 0;
    int rows = 0, columns = 0;
};
ColorGridGeometry MakeColorGridGeometry(int left, int top, int right, int bottom, int rows, int columns);

// The pixels a cell holds: left <= x < right, top <= y < bottom.
struct ColorGridCell {
    int left = 0, top = 0, right = 0, bottom = 0;
};
ColorGridCell ColorGridCellAt(const ColorGridGeometry& grid, int cell);
// The cell number that holds the point, or -1.
int ColorGridCellOfPoint(const ColorGridGeometry& grid, int x, int y);
