// The current tool's cells, edit targets and the palette's hit test.
#include <gtest/gtest.h>

#include <set>

#include "host/palettes/CurrentTool.h"

TEST(CurrentTool, CellsHoldEachToolOnceAndTargetsFollowTheTool) {
    EXPECT_EQ(GetCurrentTool(), 18u);
    std::set<uint32_t> tools(kToolCells.begin(), kToolCells.end());
    EXPECT_EQ(tools.size(), 20u);
    for (uint32_t tool : {5u, 9u, 22u})
        EXPECT_EQ(ToolCellOf(tool), -1);
    EXPECT_EQ(EditTargetsFor(20), (EditTargets{true, true, true}));
    EXPECT_EQ(EditTargetsFor(22), (EditTargets{true, false, false}));
    EXPECT_EQ(EditTargetsFor(21), (EditTargets{false, true, false}));
    EXPECT_EQ(EditTargetsFor(23), (EditTargets{false, false, true}));
    EXPECT_TRUE(IsObjectTool(19) && IsObjectTool(22) && !IsObjectTool(21));
}

TEST(CurrentTool, HitTestFindsCellsAndSkipsTheBand) {
    // 24 by 24 cells: row 0 split in halves of 36, rows 1-6 of three cells, the band 48-53.
    const struct { int x, y, cell; } cases[] = {
        {0, 0, 0}, {35, 23, 0}, {36, 0, 1}, {71, 10, 1}, {0, 24, 2}, {30, 30, 3}, {50, 47, 4},
        {10, 48, -1}, {40, 53, -1}, {30, 60, 6}, {0, 54, 5}, {71, 173, 19}, {200, 100, 10},
        {30, 174, -1}, {-1, 10, -1}, {10, -1, -1},
    };
    for (auto c : cases)
        EXPECT_EQ(ToolCellAt(c.x, c.y, 24, 24), c.cell) << c.x << "," << c.y;
    EXPECT_EQ(kToolCells[ToolCellAt(30, 60, 24, 24)], 16u);
    EXPECT_EQ(ToolCellAt(5, 5, 0, 24), -1);
}
