// Geometry of the floating palettes' title bar and its hit test.
#include "core/ui/PaletteCaptionLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(PaletteCaptionLayout, HeightIsCaptionThirdPlusFour) {
    const int cases[][2] = {{19, 10}, {18, 10}, {20, 10}, {21, 11}, {0, 4}, {2, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(PaletteCaptionHeightFor(c[0]), c[1]) << "caption " << c[0];
}

TEST(PaletteCaptionLayout, BoxAndCloseBar) {
    const PaletteCaptionLayout l = LayoutPaletteCaption(19, 80);
    EXPECT_EQ(l.strip.left, 0);
    EXPECT_EQ(l.strip.top, 0);
    EXPECT_EQ(l.strip.right, 80);
    EXPECT_EQ(l.strip.bottom, 10);
    EXPECT_EQ(l.lineY, 9);
    EXPECT_EQ(l.dividerX, 15);  // 10 x 3 / 2
    EXPECT_EQ(l.box.left, 0);
    EXPECT_EQ(l.box.right, 15);
    // left = 0 + 15 / 4 + 1, right = left + (15 - left) / 2 + 1, top = middle, 3 high.
    EXPECT_EQ(l.bar.left, 4);
    EXPECT_EQ(l.bar.right, 10);
    EXPECT_EQ(l.bar.top, 5);
    EXPECT_EQ(l.bar.bottom, 8);

    const PaletteCaptionLayout big = LayoutPaletteCaption(33, 200);  // height 15
    EXPECT_EQ(big.strip.bottom, 15);
    EXPECT_EQ(big.dividerX, 22);
    EXPECT_EQ(big.bar.left, 6);
    EXPECT_EQ(big.bar.right, 15);
    EXPECT_EQ(big.bar.top, 7);
}

TEST(PaletteCaptionLayout, PointsInStripAndBox) {
    const PaletteCaptionLayout l = LayoutPaletteCaption(19, 80);
    const struct {
        int x, y;
        bool inStrip, inBox;
    } cases[] = {
        {0, 0, true, true},     {14, 9, true, true},   {15, 0, true, false}, {79, 9, true, false},
        {80, 0, false, false},  {0, 10, false, false}, {-1, 0, false, false}, {5, -1, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PointInPaletteCaption(l, c.x, c.y, false), c.inStrip) << c.x << "," << c.y;
        EXPECT_EQ(PointInPaletteCaption(l, c.x, c.y, true), c.inBox) << c.x << "," << c.y << " box";
    }
}

}  // namespace
