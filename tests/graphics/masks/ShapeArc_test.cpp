// Arcs: quadrant classes, ray end points, filled wedges against the oval they cut, and arc
// frames against the oval frame.
#include "graphics/masks/ShapeArcGeometry.h"

#include <gtest/gtest.h>

#include "graphics/masks/Shapes.h"
#include "tests/graphics/ShapeTestUtil.h"

using namespace shapes;

namespace {

ShapeCanvas Wedge(ShapeRect r, int start, int extent, PenSize pen = {1, 1}) {
    return DrawnShape(r, [&](auto& s) { FillArcSpans(s, r, start, extent, pen); });
}
ShapeCanvas Framed(ShapeRect r, int start, int extent, PenSize pen) {
    return DrawnShape(r, [&](auto& s) { FrameArc(s, r, start, extent, pen); });
}

TEST(ShapeArc, QuadrantClassesAndRayEnds) {
    const struct {
        int start, extent, classes[4];
    } cases[] = {{0, 90, {0, 2, 1, 1}},  {45, 90, {3, 2, 1, 1}},   {10, 350, {4, 0, 0, 0}},
                 {20, 30, {5, 1, 1, 1}}, {300, 100, {2, 1, 1, 3}}, {-90, 180, {0, 2, 1, 0}}};
    for (const auto& c : cases) {
        int classes[4] = {-1, -1, -1, -1};
        ClassifyArcQuadrants(ReduceArcAngles(c.start, c.extent), classes);
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(classes[k], c.classes[k]) << "start " << c.start << " arc " << c.extent << " quadrant " << k;
    }
    EXPECT_EQ(NormalizeAngle(-1) + NormalizeAngle(-720) + NormalizeAngle(725), 359 + 0 + 5);
    // One-row and one-pixel ovals with a horizontal ray end at the side, not at 0 / 0.
    const struct {
        int a, b, angle, x, y;
    } rays[] = {{10, 10, 0, 0, 10}, {10, 10, 90, 10, 0}, {10, 10, 45, 7, 7}, {10, 10, 225, 7, 7},
                {20, 5, 90, 20, 0}, {5, 0, 90, 5, 0},    {0, 0, 90, 0, 0}};
    for (const auto& r : rays) {
        const RayPoint p = ArcRayPoint(r.a, r.b, r.angle);
        EXPECT_TRUE(p.x == r.x && p.y == r.y) << r.a << " x " << r.b << " at " << r.angle << ": " << p.x << "," << p.y;
    }
}

TEST(ShapeArc, WedgesLieInTheirQuadrants) {
    for (ShapeRect r : {ShapeRect{0, 0, 20, 20}, ShapeRect{0, 0, 15, 15}, ShapeRect{-4, 5, 27, 18}}) {
        const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
        for (int q = 0; q < 4; ++q) {
            const ShapeCanvas wedge = Wedge(r, 90 * q, 90);
            ASSERT_EQ(wedge.touched(2), 0) << "an inverted wedge is the painted one";
            // Within the quadrant, but for ray pixels one column or row across an axis.
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    const bool inside = (q < 2 ? x >= midX - 1 : x <= midX + 1) &&
                                        (q % 3 == 0 ? y <= midY + 1 : y >= midY - 1);
                    EXPECT_TRUE(!wedge.at(x, y) || inside) << q << ": " << x << "," << y;
                }
            }
        }
        const ShapeArt oval = DrawnShape(r, [&](auto& s) { FillOvalSpans(s, r); }).Art();
        EXPECT_EQ(Wedge(r, 45, 360).Art(), oval) << "a whole turn is the oval";
        EXPECT_EQ(Wedge(r, 45, -720).Art(), oval);
        EXPECT_EQ(Wedge(r, 130, -80).Art(), Wedge(r, 50, 80).Art()) << "counterclockwise";
        EXPECT_EQ(Wedge(r, 30, 0).touched() + Wedge(r, 30, 90, {0, 1}).touched(), 0) << "no arc, no pen";
    }
    // One-row and one-column ovals with rays on the horizontal axis stay in their rectangle.
    for (ShapeRect r : {ShapeRect{3, 4, 4, 5}, ShapeRect{3, 4, 8, 5}, ShapeRect{3, 4, 4, 9}, ShapeRect{3, 4, 9, 5}}) {
        for (auto [start, extent] : {std::pair{90, 90}, std::pair{0, 90}, std::pair{270, 180}, std::pair{200, 70}})
            EXPECT_EQ(Wedge(r, start, extent).outside(), 0) << r.right << "x" << r.bottom << " " << start;
    }
}

TEST(ShapeArc, FramesFollowTheOvalFrame) {
    const ShapeRect r{0, 0, 21, 13};
    for (PenSize pen : {PenSize{1, 1}, PenSize{2, 2}, PenSize{3, 1}}) {
        const ShapeCanvas oval = DrawnShape(r, [&](auto& s) { FrameOval(s, r, pen); });
        EXPECT_EQ(Framed(r, 10, 360, pen).Art(), oval.Art());
        for (int start = 0; start < 360; start += 40) {
            const ShapeCanvas arc = Framed(r, start, 110, pen);
            EXPECT_TRUE(arc.touched() > 0 && arc.NotOn(oval) == 0) << start;
        }
    }
    EXPECT_EQ(Framed(r, 20, 100, {11, 1}).Art(), Wedge(r, 20, 100).Art()) << "a pen over half the width paints";
    EXPECT_EQ(Framed(r, 20, 100, {0, 1}).touched(), 0);

    // The 3 and 9 o'clock pixels of a one-pixel frame: each where the arc reaches its direction.
    const struct {
        int start, extent;
        bool right, left;
    } ends[] = {{0, 90, true, false}, {180, 90, false, true}, {300, 150, true, false}, {250, 210, true, true},
                {100, -20, true, false}};
    for (const auto& e : ends) {
        const ShapeCanvas arc = Framed(r, e.start, e.extent, {1, 1});
        EXPECT_EQ(arc.at(r.right - 1, r.bottom / 2), e.right) << e.start << " " << e.extent;
        EXPECT_EQ(arc.at(0, r.bottom / 2), e.left) << e.start << " " << e.extent;
    }
}

}  // namespace
