// The floating colours palette's geometry, colour-menu numbers, pattern tiling, palette blends
// and card import's remap table.
#include "cardview/colors/FcolorsLayout.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/memory/Handles.h"
#include "graphics/palette/PaletteBlend.h"
#include "graphics/palette/PaletteRemap.h"

namespace {

TEST(FcolorsLayout, SizesAndCellsFollowTheUserAndTheTool) {
    const FcolorsLayout big = MakeFcolorsLayout(true, 6);
    EXPECT_EQ(big.width, 150);
    EXPECT_EQ(big.height, 362);
    EXPECT_EQ(big.gridSide, 16);
    EXPECT_EQ(big.gridBottom, 150);
    EXPECT_EQ(big.panelTop, 260);
    EXPECT_EQ(big.swatchLeft, 86);
    const FcolorsLayout small = MakeFcolorsLayout(false, 6);
    EXPECT_EQ(small.width, 100);
    EXPECT_EQ(small.height, 312);
    EXPECT_EQ(small.gridSide, 8);
    EXPECT_EQ(small.panelTop, 210);
    EXPECT_EQ(small.swatchRight, 86);
    EXPECT_EQ(MakeFcolorsLayout(true, 3).height, 362 - 105);
    EXPECT_EQ(MakeFcolorsLayout(false, 3).height, 312 - 105);
    EXPECT_EQ(MakeFcolorsLayout(true, 3).panelTop, 155);
    EXPECT_FALSE(MakeFcolorsLayout(true, 3).patterns);

    const int lefts[] = {0, 37, 75, 112};
    for (int column = 0; column < 4; ++column) {
        const CellBox c = PatternCellBox(big, 1 + column);
        EXPECT_EQ(c.left, lefts[column]);
        EXPECT_EQ(c.right - c.left, 37);
        EXPECT_EQ(c.top, 155);
    }
    EXPECT_EQ(PatternCellBox(big, 16).top, 155 + 75);
    EXPECT_EQ(PatternAtPoint(big, 40, 160), 2);
    EXPECT_EQ(PatternAtPoint(big, 120, 250), 16);
    EXPECT_EQ(PatternAtPoint(big, 40, 155), 0) << "strictly inside the area";
    EXPECT_EQ(PatternAtPoint(big, 40, 100), 0);
    EXPECT_EQ(PatternAtPoint(MakeFcolorsLayout(true, 3), 40, 160), 0) << "no patterns for the text tool";

    EXPECT_EQ(ToolColorLetter(3), 't');
    EXPECT_EQ(ToolColorLetter(11), 'e');
    EXPECT_EQ(ToolColorLetter(17), 'f');
}

TEST(FcolorsLayout, ColorMenuNumbersReachEveryPatternAndNothingBeyond) {
    EXPECT_FALSE(ColorMenuNumberToValue(0));
    EXPECT_EQ(ColorMenuNumberToValue(1), 0);
    EXPECT_EQ(ColorMenuNumberToValue(64), 255) << "the order table's last entry";
    EXPECT_EQ(ColorMenuNumberToValue(65), -1) << "pattern 1";
    EXPECT_EQ(ColorMenuNumberToValue(80), -16) << "pattern 16";
    EXPECT_FALSE(ColorMenuNumberToValue(81));
    EXPECT_FALSE(ColorMenuNumberToValue(-3));
}

TEST(FcolorsLayout, PatternTilesSitOnTheCardGrid) {
    // Left 9 and an 8-wide pattern: tiles start one pixel left, so card column 8 holds the
    // pattern's first column.
    const TileOrigin o = PatternTileOrigin(9, 0, 8, 8);
    EXPECT_EQ(o.x, -1);
    EXPECT_EQ(9 + o.x, 8);
    EXPECT_EQ(PatternTileOrigin(0, 0, 64, 64).x, 0);
    EXPECT_EQ(PatternTileOrigin(64, 130, 64, 64).x, -64);
    EXPECT_EQ(PatternTileOrigin(64, 130, 64, 64).y, -2);
    EXPECT_EQ(PatternTileOrigin(5, 5, 0, 8).x, 0) << "an empty pattern";
}

TEST(FcolorsLayout, BlendsStepBetweenTheTables) {
    PaletteRgbTable start{};
    PaletteRgbTable target{};
    for (PaletteRgb& e : target)
        e = {255, 255, 255, 0};
    start[7] = {10, 20, 30, 0};
    target[7] = {110, 120, 130, 0};
    EXPECT_EQ(BlendPaletteTables(start, target, 0), start);
    EXPECT_EQ(BlendPaletteTables(start, target, 256), target);
    const PaletteRgbTable half = BlendPaletteTables(start, target, 128);
    EXPECT_EQ(half[0], (PaletteRgb{127, 127, 127, 0}));
    EXPECT_EQ(half[7], (PaletteRgb{60, 70, 80, 0}));

    // PushPaletteRgbTables: the target moves to the start, the target takes the entries; the
    // blend seen through the hook is reserved (PC_RESERVED).
    PaletteRgbTable entries{};
    for (PaletteRgb& e : entries)
        e = {200, 100, 0, 0x44};
    PushPaletteRgbTables(entries);
    PushPaletteRgbTables(target);
    EXPECT_EQ(PaletteBlendStartTable()[3], (PaletteRgb{200, 100, 0, 0}));
    EXPECT_EQ(PaletteBlendTargetTable()[3], (PaletteRgb{255, 255, 255, 0}));
    static PaletteRgb seen{};
    SetPaletteAnimationHook([](std::span<const PaletteRgb> blended) { seen = blended[3]; });
    BlendPaletteStep(128);
    SetPaletteAnimationHook(nullptr);
    EXPECT_EQ(seen, (PaletteRgb{227, 177, 127, 1}));
}

TEST(FcolorsLayout, RemapLooksUpTheFirstPairWithinTheBlock) {
    ASSERT_TRUE(InitMemRefs());
    EXPECT_EQ(LookupRemappedColor(3), 0) << "no table";
    const uint16_t pairs[] = {3, 30, 5, 50, 3, 99, 7, 70};
    Handle h = NewHandle(sizeof pairs);
    ASSERT_NE(h, 0);
    {
        HandleLock lock(h);
        std::memcpy(lock.get(), pairs, sizeof pairs);
    }
    SetColorRemapTable(h, 4);
    EXPECT_EQ(LookupRemappedColor(3), 30);
    EXPECT_EQ(LookupRemappedColor(7), 70);
    EXPECT_EQ(LookupRemappedColor(8), 0) << "absent";
    SetColorRemapTable(h, 2);
    EXPECT_EQ(LookupRemappedColor(7), 0) << "past the count";
    SetColorRemapTable(h, 400);
    EXPECT_EQ(LookupRemappedColor(7), 70) << "a count past the block reads the block only";
    EXPECT_EQ(LookupRemappedColor(9), 0);
    SetColorRemapTable(h, -1);
    EXPECT_EQ(LookupRemappedColor(3), 0);
    SetColorRemapTable(0, 0);
    DisposeHandle(h);
}

}  // namespace
