// Ovals, rectangle frames and round rectangles on a canvas: against pictures and against the
// exact ellipse, each filled pixel once, nothing outside the rectangle.
#include "graphics/masks/Shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/graphics/ShapeTestUtil.h"

using namespace shapes;

namespace {

using Draw = std::function<void(ShapeSink&)>;

ShapeArt Art(ShapeRect window, const Draw& draw) {
    return DrawnShape(window, draw).Art();
}

TEST(Shapes, ShapesAsPictures) {
    const ShapeRect r{0, 0, 10, 6};
    const ShapeArt oval = {"...####...", ".########.", "##########", "##########", ".########.", "...####..."};
    const struct {
        ShapeRect window;
        Draw draw;
        ShapeArt art;
    } cases[] = {
        {r, [&](ShapeSink& s) { FillOvalSpans(s, r); }, oval},
        {r, [&](ShapeSink& s) { FrameOval(s, r, {1, 1}); },
         {"...####...", ".##....##.", "#........#", "#........#", ".##....##.", "...####..."}},
        {r, [&](ShapeSink& s) { FrameRect(s, r, {2, 1}); },
         {"##########", "##......##", "##......##", "##......##", "##......##", "##########"}},
        {r, [&](ShapeSink& s) { FrameRoundRect(s, {0, 0, 8, 6}, 4, 4, {1, 1}); },
         {".######...", "#......#..", "#......#..", "#......#..", "#......#..", ".######..."}},
        {r, [&](ShapeSink& s) { FrameRect(s, r, {0, 2}), FrameOval(s, r, {2, 0}), FrameArc(s, r, 0, 9, {-1, 1}); },
         ShapeArt(6, "..........")},  // no pen
        {{0, 0, 7, 5}, [](ShapeSink& s) { FillOvalSpans(s, {0, 0, 7, 5}); },
         {"..###..", ".#####.", "#######", ".#####.", "..###.."}},
        {{0, 0, 5, 1}, [](ShapeSink& s) { FillOvalSpans(s, {0, 0, 5, 1}); }, {"#####"}},
        {{0, 0, 2, 2}, [](ShapeSink& s) { FillOvalSpans(s, {0, 0, 2, 2}); }, {"..", ".."}},
        {{0, 0, 1, 1}, [](ShapeSink& s) { FillOvalSpans(s, {0, 0, 1, 1}), FrameOval(s, {0, 0, 1, 1}, {1, 1}); }, {"#"}},
        // A reversed span draws nothing, not a span backwards.
        {{0, 0, 10, 1}, [](ShapeSink& s) { DrawSpan(s, 2, 5, 0), DrawSpan(s, 9, 3, 0), PlotPixel(s, 8, 0); },
         {"..####..#."}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Art(c.window, c.draw), c.art) << &c - cases;
    const ShapeRect tall{0, 0, 12, 10};  // a pen half as high as the oval paints it
    EXPECT_EQ(Art(tall,
                  [&](auto& s) { FrameOval(s, tall, {1, 5}); }),
              Art(tall, [&](auto& s) { FillOvalSpans(s, tall); }));
}

// Each row between the ellipse's widths at its two edges (within a pixel and a half); the large
// ones overflowed 32-bit decision values.
TEST(Shapes, OvalRowsFollowTheEllipseAtEverySize) {
    std::vector<ShapeRect> rects = {{0, 0, 362, 362}, {0, 0, 2001, 1200}, {0, 0, 65535, 5}, {-7, -3, 30, 11}};
    for (int w = 1; w <= 24; w += 3) {
        for (int h = 1; h <= 24; h += 2)
            rects.push_back({0, 0, w, h});
    }
    for (const ShapeRect& r : rects) {
        const ShapeCanvas canvas = DrawnShape(r, [&](auto& s) { FillOvalSpans(s, r); });
        const int w = r.right - r.left, h = r.bottom - r.top, a = w / 2, b = h / 2;
        ASSERT_EQ(canvas.outside() + canvas.touched(2), 0);
        auto exact = [&](double y) { return a * std::sqrt(std::max(0.0, 1.0 - y * y / (double(b) * b))); };
        for (int row = 0; row < h; ++row) {
            int n = 0;
            for (int col = r.left; col < r.right; ++col)
                n += canvas.at(col, r.top + row);
            if (n == 0 || (h % 2 == 1 && row == b))
                continue;  // the centre row is drawn whole
            const int x = (n - w % 2) / 2, offset = b - std::min(row, h - 1 - row);
            ASSERT_GE(x, exact(offset) - 1.5) << row << " of " << w << " x " << h;
            ASSERT_LE(x, exact(offset - 1) + 1.5) << row << " of " << w << " x " << h;
        }
    }
    EXPECT_EQ(DrawnShape({0, 0, 0, 0}, [](auto& s) { FillOvalSpans(s, {0, 0, 65536, 3}); }).outside(), 0);
    // A thick ring: its side pieces on the centre row are the pen wide.
    for (ShapeRect r : {ShapeRect{0, 0, 21, 15}, ShapeRect{0, 0, 30, 19}})
        EXPECT_EQ(Art(r,
                      [&](auto& s) { FrameOval(s, r, {3, 2}); })[r.bottom / 2],
                  "###" + std::string(r.right - 6, '.') + "###");
}

TEST(Shapes, RoundRectsDrawEachRowOnceAndClampTheirCorners) {
    const ShapeRect square{0, 0, 10, 10};
    const ShapeCanvas paint = DrawnShape(square, [&](auto& s) { FillRoundRectSpans(s, square, 10, 10); });
    EXPECT_EQ(paint.touched(), 76);
    EXPECT_EQ(paint.touched(2), 0) << "an exclusive-or would leave the middle rows as they were";
    EXPECT_EQ(Art(square, [&](auto& s) { FillRoundRectSpans(s, square, 400, 90); }), paint.Art());
    for (ShapeRect r : {ShapeRect{0, 0, 9, 7}, ShapeRect{3, 2, 17, 10}}) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_EQ(Art(r, [&](auto& s) { FillRoundRectSpans(s, r, 1, 6); }), Art(r, [&](auto& s) { s.Fill(r); }));
        for (int ch : {h, h - 1})
            EXPECT_EQ(DrawnShape(r, [&](auto& s) { FillRoundRectSpans(s, r, w, ch); }).touched(2), 0) << w << "x" << ch;
        for (PenSize pen : {PenSize{1, 1}, PenSize{2, 3}, PenSize{4, 1}}) {
            EXPECT_EQ(Art(r, [&](auto& s) { FrameRoundRect(s, r, 5000, 3000, pen); }),
                      Art(r, [&](auto& s) { FrameRoundRect(s, r, w, h, pen); }));
            EXPECT_EQ(Art(r, [&](auto& s) { FrameRoundRect(s, r, 1, 8, pen); }),
                      Art(r, [&](auto& s) { FrameRect(s, r, pen); }));
            const ShapeCanvas fill = DrawnShape(r, [&](auto& s) { FillRoundRectSpans(s, r, 6, 4); });
            EXPECT_EQ(DrawnShape(r, [&](auto& s) { FrameRoundRect(s, r, 6, 4, pen); }).NotOn(fill), 0);
        }
    }
}

}  // namespace
