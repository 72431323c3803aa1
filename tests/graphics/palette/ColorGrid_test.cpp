// The colour grid's order table and geometry.
#include "graphics/palette/ColorGrid.h"

#include <gtest/gtest.h>

namespace {

TEST(ColorGrid, CellsShowTheirIndexOrTheOrderTable) {
    const int cases[][3] = {{63, 8, 255}, {0, 8, 0}, {7, 8, 20}, {8, 8, 87}, {35, 8, 3}, {63, 16, 63}, {255, 16, 255}};
    for (const auto& c : cases)
        EXPECT_EQ(GridCellToPaletteIndex(c[0], c[1]), c[2]) << "cell " << c[0] << " of " << c[1] << " columns";
    // A dialog puts 200 in cells 3 and 10: the last position holding it is found.
    EXPECT_EQ(GridOrderPositionOf(200), 0) << "absent: the first position";
    SetGridOrderEntry(10, 200);
    SetGridOrderEntry(3, 200);
    SetGridOrderEntry(64, 1);  // no such position
    EXPECT_EQ(GridCellToPaletteIndex(10, 8), 200);
    EXPECT_EQ(GridCellToPaletteIndex(10, 16), 10);
    EXPECT_EQ(GridOrderPositionOf(200), 10);
    ResetGridOrderTable();
    EXPECT_EQ(GridCellToPaletteIndex(10, 8), 54);
}

TEST(ColorGrid, PointsBelongToTheCellWhoseLeftEdgeTheyReach) {
    // 8 x 8 cells of 12.5 pixels from (0, 10): columns start at 0, 12, 25, 37 ...
    const ColorGridGeometry grid = MakeColorGridGeometry(0, 10, 100, 110, 8, 8);
    const int cases[][3] = {
        {0, 10, 0},  {11, 10, 0},   {12, 10, 1},  // a cell's right edge is the next cell's
        {24, 21, 1}, {25, 21, 2},   {25, 22, 10}, {99, 109, 63},
        {100, 50, -1}, {50, 110, -1}, {-1, 50, -1}, {50, 9, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorGridCellOfPoint(grid, c[0], c[1]), c[2]) << "(" << c[0] << ", " << c[1] << ")";
    const ColorGridCell third = ColorGridCellAt(grid, 2);
    EXPECT_EQ((std::array{third.left, third.top, third.right, third.bottom}), (std::array{25, 10, 37, 22}));
    EXPECT_EQ(ColorGridCellOfPoint(MakeColorGridGeometry(0, 0, 100, 100, 0, 8), 5, 5), -1) << "no rows";
}

}  // namespace
