// Rectangle arithmetic in both forms: normalising, centres, centring one rectangle in another,
// widening and narrowing, 16-bit offsets.
#include "core/memory/ShortRect.h"

#include <gtest/gtest.h>

namespace {

bool Same(const Rect32& a, const Rect32& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const Rect32& actual, const Rect32& expected) {
    if (Same(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.left << ", " << actual.top << ", " << actual.right
                                         << ", " << actual.bottom << "), expected (" << expected.left << ", "
                                         << expected.top << ", " << expected.right << ", " << expected.bottom << ")";
}

TEST(ShortRect, NormalizeRectOrdersBothAxes) {
    const struct {
        Rect32 in, out;
    } cases[] = {
        {{10, 20, 5, 8}, {5, 8, 10, 20}},
        {{5, 8, 10, 20}, {5, 8, 10, 20}},
        {{0, 9, 4, 3}, {0, 3, 4, 9}},     // only top and bottom
        {{7, 1, -7, 2}, {-7, 1, 7, 2}},   // only left and right
        {{3, 3, 3, 3}, {3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        Rect32 r = c.in;
        NormalizeRect(&r);
        EXPECT_TRUE(RectIs(r, c.out));
    }
    ShortRect s = {10, 20, 5, 8};
    NormalizeRect(&s);
    EXPECT_TRUE(EqualShortRect(s, {5, 8, 10, 20}));
}

TEST(ShortRect, RectCenterRoundsTowardZero) {
    const struct {
        Rect32 r;
        int16_t x, y;
    } cases[] = {
        {{0, 0, 5, 5}, 2, 2},
        {{-5, -5, 0, 0}, -3, -3},
        {{0, 0, -5, -5}, -2, -2},  // an unnormalised rectangle: -5 / 2 is -2
        {{10, 20, 30, 41}, 20, 30},
        {{-32768, 0, 32767, 1}, -1, 0},
    };
    for (const auto& c : cases) {
        int16_t x = 0x5555, y = 0x5555;
        RectCenter(c.r, &x, &y);
        EXPECT_EQ(x, c.x) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
        EXPECT_EQ(y, c.y) << c.r.left << "," << c.r.top << "," << c.r.right << "," << c.r.bottom;
    }
}

TEST(ShortRect, CenterRectInRectKeepsSizeAroundCentre) {
    Rect32 out = {-1, -1, -1, -1};
    CenterRectInRect(Rect32{0, 0, 100, 50}, Rect32{0, 0, 640, 480}, &out);
    EXPECT_TRUE(RectIs(out, {270, 215, 370, 265}));

    // Odd sizes: left = centre - width / 2.
    CenterRectInRect(Rect32{5, 5, 10, 12}, Rect32{-5, -5, 0, 0}, &out);
    EXPECT_TRUE(RectIs(out, {-3 - 2, -3 - 3, -3 - 2 + 5, -3 - 3 + 7}));

    // The size comes from the low 16 bits of a's values.
    CenterRectInRect(Rect32{0x10000, 0, 0x10000 + 20, 10}, Rect32{0, 0, 100, 100}, &out);
    EXPECT_TRUE(RectIs(out, {40, 45, 60, 55}));
}

// A dialog centred over a small window at the screen's corner is moved back onto the screen
// by the least it takes; one larger than the screen keeps the screen's top-left corner.
TEST(ShortRect, MoveRectInsideKeepsSizeAndMovesLeast) {
    const Rect32 screen = {0, 0, 1280, 1024};
    const struct {
        Rect32 in, want;
    } cases[] = {
        {{-59, 40, 571, 490}, {0, 40, 630, 490}},            // off the left edge
        {{1000, -20, 1400, 300}, {880, 0, 1280, 320}},       // off the right and top edges
        {{900, 900, 1200, 1100}, {900, 824, 1200, 1024}},    // off the bottom
        {{10, 10, 200, 200}, {10, 10, 200, 200}},            // inside: stays
        {{-100, -50, 1400, 1100}, {0, 0, 1500, 1150}},       // larger: the top-left corner
    };
    for (const auto& c : cases) {
        Rect32 r = c.in;
        MoveRectInside(&r, screen);
        EXPECT_TRUE(RectIs(r, c.want)) << c.in.left << "," << c.in.top << " -> " << r.left << "," << r.top << ","
                                        << r.right << "," << r.bottom;
    }
    ShortRect small = {-5, -5, 5, 5};
    MoveRectInside(&small, Rect32{0, 0, 100, 100});
    EXPECT_EQ(small.left, 0);
    EXPECT_EQ(small.right, 10);
}

TEST(ShortRect, WidenSignExtendsAndNarrowKeepsLow16Bits) {
    Rect32 wide = {};
    ShortRectToRect(ShortRect{-1, -32768, 32767, 0}, &wide);
    EXPECT_TRUE(RectIs(wide, {-1, -32768, 32767, 0}));

    ShortRect narrow = {1, 1, 1, 1};
    RectToShortRect(Rect32{0x12345, -1, 0x7FFF8000, 65535}, &narrow);
    EXPECT_TRUE(EqualShortRect(narrow, {0x2345, -1, -32768, -1}));
}

TEST(ShortRect, OffsetAndEqual) {
    ShortRect r = {1, 2, 3, 4};
    OffsetShortRect(&r, 10, -20);
    EXPECT_TRUE(EqualShortRect(r, {11, -18, 13, -16}));
    // 16-bit arithmetic wraps.
    ShortRect edge = {32767, -32768, 0, 0};
    OffsetShortRect(&edge, 1, -1);
    EXPECT_TRUE(EqualShortRect(edge, {-32768, 32767, 1, -1}));
    OffsetShortRect(nullptr, 1, 1);  // nothing to do, no crash

    const ShortRect a = {1, 2, 3, 4};
    EXPECT_TRUE(EqualShortRect(a, {1, 2, 3, 4}));
    EXPECT_FALSE(EqualShortRect(a, {1, 2, 3, 5}));
    EXPECT_FALSE(EqualShortRect(a, {0, 2, 3, 4}));
    EXPECT_FALSE(EqualShortRect(a, {1, 3, 3, 4}));
    EXPECT_FALSE(EqualShortRect(a, {1, 2, 4, 4}));
}

}  // namespace
