// The pattern reveals' and the rain's masks.
#include <gtest/gtest.h>

#include "cardview/transitions/TransitionPatterns.h"
#include "cardview/transitions/TransitionTable.h"

namespace {

bool Full(const MaskBits& m) { return m.CountSet() == m.width() * m.height(); }

MaskBits Or(const MaskBits& a, const MaskBits& b) {
    MaskBits out = a;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (b.Get(x, y))
                out.Set(x, y);
    return out;
}

TEST(TransitionMasks, PatternRevealsGrowToTheWholeRectangle) {
    for (int n : {kTransRazorLeft, kTransRazorRight, kTransBowTies, kTransDiamondDissolve}) {
        MaskBits shown(37, 21);
        int previous = 0;
        for (int step = 0; step < kPatternRevealSteps; ++step) {
            shown = Or(shown, PatternRevealMask(n, step, 37, 21));
            EXPECT_GT(shown.CountSet(), previous) << "transition " << n << " step " << step;
            previous = shown.CountSet();
        }
        EXPECT_TRUE(Full(shown)) << "transition " << n;
    }
    // Razor right, step 2: row 1 holds only the pixel 3 from the left, every 8 pixels.
    const MaskBits razor = PatternRevealMask(kTransRazorRight, 2, 20, 4);
    EXPECT_TRUE(razor.Get(3, 1));
    EXPECT_TRUE(razor.Get(11, 1));
    EXPECT_TRUE(razor.Get(19, 1));
    EXPECT_FALSE(razor.Get(4, 1));
    EXPECT_EQ(razor.CountSet(), 3 + 3 + 2 + 2);  // rows 2 and 3 have no third pixel within 20
    // Razor left, step 0: row 0 is the rightmost pixel of each 8.
    EXPECT_EQ(PatternRevealRows(kTransRazorLeft, 0)[0], 0x01);
}

TEST(TransitionMasks, RainFallsInStreaksUntilEveryPixelIsSet) {
    RainTile tile;
    int previous = 0;
    for (int step = 0; step < kRainSteps; ++step) {
        RainStep(&tile, step);
        const MaskBits mask = RainMask(tile, 512, kRainTileRows);
        EXPECT_GT(mask.CountSet(), previous) << "step " << step;
        if (step < kRainSteps - 1) {
            EXPECT_FALSE(Full(mask)) << "step " << step;
        }
        previous = mask.CountSet();
    }
    EXPECT_TRUE(Full(RainMask(tile, 512, kRainTileRows)));
    // A partial tile repeats every 512 pixels across and every 342 rows down.
    RainTile partial;
    RainStep(&partial, 0);
    const MaskBits big = RainMask(partial, 700, 500);
    for (auto [x, y] : {std::pair{3, 7}, {40, 100}, {100, 150}, {180, 140}})
        EXPECT_EQ(big.Get(x, y), big.Get(x + 512, y + kRainTileRows)) << x << "," << y;
    // Slot 19 (odd: the low half of byte 9) streaks down from row 341 in step 0.
    EXPECT_TRUE(big.Get(9 * 8 + 4, 341));
    EXPECT_TRUE(big.Get(9 * 8 + 4, 338));
}

}  // namespace
