// Handles, snapping, arrow keys and marching dashes; turning and scaling pixels.
#include "layers/PaintGeometry.h"

#include <gtest/gtest.h>

#include "paint/RotateScale.h"

namespace {

class PaintGeometryTest : public ::testing::Test {
protected:
    GridSettings saved = Grid();
    void TearDown() override { Grid() = saved; }
};

TEST_F(PaintGeometryTest, HandlesAroundARectangle) {
    const PaintRect r = {10, 20, 50, 60};
    const struct {
        int x, y, handle;
    } cases[] = {{10, 20, 1}, {30, 20, 2}, {50, 20, 3}, {50, 40, 4}, {50, 60, 5}, {30, 60, 6}, {10, 60, 7},
                 {10, 40, 8}, {30, 40, 9}, {8, 18, 1},  {53, 63, 5}, {54, 40, 0}, {30, 64, 0}, {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(HitTestHandle(r, c.x, c.y), c.handle) << c.x << "," << c.y;
}

TEST_F(PaintGeometryTest, ResizingKeepsAPixelAndMovesWhole) {
    const PaintRect r = {10, 20, 50, 60};
    EXPECT_EQ(ResizeRectByHandle(r, 1, -5, 3), (PaintRect{5, 23, 50, 60}));
    EXPECT_EQ(ResizeRectByHandle(r, 4, 7, 99), (PaintRect{10, 20, 57, 60}));
    EXPECT_EQ(ResizeRectByHandle(r, 6, 0, -100), (PaintRect{10, 20, 50, 21})) << "at least one pixel high";
    EXPECT_EQ(ResizeRectByHandle(r, 8, 100, 0), (PaintRect{49, 20, 50, 60})) << "at least one pixel wide";
    EXPECT_EQ(ResizeRectByHandle(r, 9, -10, 5), (PaintRect{0, 25, 40, 65}));
    EXPECT_EQ(ResizeRectByHandle(r, 0, 5, 5), r);
}

TEST_F(PaintGeometryTest, SnappingOnlyWhenOnAndPerAxis) {
    Grid() = {.spacingX = 8, .spacingY = 1, .shown = false, .snap = false};
    int x = 13, y = 13;
    SnapPointToGrid(&x, &y);
    EXPECT_EQ(x, 13) << "snapping off";
    Grid().snap = true;
    SnapPointToGrid(&x, &y);
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, 13) << "spacing 1 leaves the axis alone";
    x = 11;
    SnapPointToGrid(&x, nullptr);
    EXPECT_EQ(x, 8);
    x = -5;
    SnapPointToGrid(&x, nullptr);
    EXPECT_EQ(x, -8);

    Grid().spacingY = 10;
    PaintRect r = {3, 4, 29, 33};
    SnapHandleToGrid(5, &r);
    EXPECT_EQ(r, (PaintRect{3, 4, 32, 30})) << "the bottom-right corner only";
    SnapHandleToGrid(9, &r);
    EXPECT_EQ(r, (PaintRect{0, 0, 29, 26})) << "moved whole by its corner";
}

TEST_F(PaintGeometryTest, ArrowKeysStepByGridOrPixel) {
    Grid() = {.spacingX = 4, .spacingY = 6, .shown = true, .snap = false};
    int dx = 99, dy = 99;
    EXPECT_EQ(ArrowKeyDelta(65, false, &dx, &dy), 0);
    EXPECT_EQ(dx, 99) << "other keys leave the outputs alone";
    const struct {
        unsigned key;
        bool big, snap;
        int dx, dy;
    } cases[] = {{37, false, false, -1, 0}, {38, false, false, 0, -1}, {39, true, false, 10, 0},
                 {40, true, false, 0, 10},  {37, false, true, -4, 0},  {40, true, true, 0, 60}};
    for (const auto& c : cases) {
        Grid().snap = c.snap;
        ASSERT_EQ(ArrowKeyDelta(c.key, c.big, &dx, &dy), 1);
        EXPECT_EQ(dx, c.dx) << c.key;
        EXPECT_EQ(dy, c.dy) << c.key;
    }
}

TEST_F(PaintGeometryTest, DashesMarchOnePixelPerPhase) {
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(MarchingDashAt(n, 0), (n % 8) < 4) << n;
        EXPECT_EQ(MarchingDashAt(n + 1, 1), MarchingDashAt(n, 0)) << n;
    }
}

TEST(RotateScale, QuarterTurnsAndScalesMovePixelsWhereExpected) {
    // 3 wide, 2 high:  1 2 3 / 4 5 6
    const PixelImage picture{3, 2, {1, 2, 3, 4, 5, 6}};
    PixelImage mask;
    const PixelImage turned = RotateScalePixels(picture, nullptr, 90, 1, 1, 0, &mask);
    ASSERT_EQ(turned.width, 2);
    ASSERT_EQ(turned.height, 3);
    // A quarter turn clockwise on screen (y down): the left column becomes the top row.
    EXPECT_EQ(turned.pixels, (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
    EXPECT_EQ(mask.pixels, std::vector<uint32_t>(6, 1));

    const PixelImage doubled = RotateScalePixels(picture, nullptr, 0, 2, 1, 0, nullptr);
    ASSERT_EQ(doubled.width, 6);
    EXPECT_EQ(doubled.pixels, (std::vector<uint32_t>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6}));

    // Masked-out pixels take the fill colour and are outside the result's mask.
    const PixelImage holes{3, 2, {1, 0, 1, 1, 1, 0}};
    const PixelImage kept = RotateScalePixels(picture, &holes, 0, 1, 1, 0xEE, &mask);
    EXPECT_EQ(kept.pixels, (std::vector<uint32_t>{1, 0xEE, 3, 4, 5, 0xEE}));
    EXPECT_EQ(mask.pixels, (std::vector<uint32_t>{1, 0, 1, 1, 1, 0}));

    // Refusals: no scale, no picture, a result too large.
    EXPECT_TRUE(RotateScalePixels(picture, nullptr, 0, 0, 1, 0, nullptr).pixels.empty());
    EXPECT_TRUE(RotateScalePixels(PixelImage{}, nullptr, 0, 1, 1, 0, nullptr).pixels.empty());
    EXPECT_TRUE(RotateScalePixels(picture, nullptr, 0, 5000, 1, 0, nullptr).pixels.empty());
}

}  // namespace
