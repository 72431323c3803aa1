// The oval geometry shared by ovals, round rectangles and arcs, and the ellipse row walk that
// gives each row of an oval its half-width (ShapeWalk.cpp).
#pragma once

#include <cstdint>

#include "graphics/masks/Shapes.h"

namespace shapes {

// Semi-axes and centre of the oval in a rectangle. For an even width the centre falls between
// the columns cxR and cxL = cxR + 1, for an odd one cxL = cxR; rows likewise. Row offset y
// names the rows cyT - y and cyB + y.
struct OvalGeometry {
    int32_t a = 0, b = 0;
    int32_t cxL = 0, cxR = 0, cyT = 0, cyB = 0;
    bool oddWidth = false, oddHeight = false;
};

// False for an empty rectangle or one beyond kMaxShapeExtent.
bool MakeOvalGeometry(const ShapeRect& rect, OvalGeometry& out);

// The width and height of a rectangle, 0 when empty or beyond kMaxShapeExtent.
bool ShapeExtent(const ShapeRect& rect, int32_t& width, int32_t& height);

inline bool HasPen(PenSize pen) {
    return pen.width >= 1 && pen.height >= 1;
}
// A pen at least half as wide or as tall as the rectangle leaves no hole: the frame is painted.
inline bool PenFillsShape(const ShapeRect& rect, PenSize pen) {
    return 2 * int64_t{pen.height} >= int64_t{rect.bottom} - rect.top ||
           2 * int64_t{pen.width} >= int64_t{rect.right} - rect.left;
}

// The midpoint walk over one quarter of the oval with semi-axes (a, b), from (0, b) to y = 0.
// Decision values are 64-bit: in 32 bits they overflow from semi-axes of about 180.
class EllipseWalk {
public:
    EllipseWalk(int32_t a, int32_t b);

    // One step of the outline (in the first region x grows by one and y may fall by one, in the
    // second y falls by one and x may grow). False, doing nothing, once y is 0. When the step
    // finished a row, rowDone is set with that row's offset and half-width.
    struct Step {
        bool rowDone = false;
        int32_t row = 0, halfWidth = 0;
    };
    bool Advance(Step& step);

    // Steps to the end of the next row: its offset and half-width. False once y is 0.
    bool NextRow(int32_t& row, int32_t& halfWidth);

    int32_t x() const { return x_; }
    int32_t y() const { return y_; }
    // True when the walk reached y = 0 without entering its second region.
    bool endedInFirstRegion() const { return firstRegion_; }

private:
    int64_t a2_, b2_, d_;
    int32_t x_ = 0, y_;
    bool firstRegion_ = true;
};

// The rows of a frame: the oval's half-width xo and, on rows within the inner oval (smaller by
// the pen), the inner half-width xi; the odd-width correction makes the side pieces exactly the
// pen wide on the centre row. After the last row, xo and xi are those of row offset 1 (xi 0
// when no row reached the inner oval).
class RingWalk {
public:
    RingWalk(const OvalGeometry& g, PenSize pen);
    // The next row offset, and whether it lies within the inner oval.
    bool NextRow(int32_t& y, bool& withinInner);
    int32_t xo() const { return xo_; }
    int32_t xi() const { return xi_; }

private:
    int32_t innerB_;
    EllipseWalk outer_, inner_;
    int32_t xo_ = 0, xi_ = 0;
};

// The outline of one quarter, point by point: visit(x, y) for the start (0, b) and after every
// step down to the one that brings y to 0. Returns the walk's final x.
template <class Visit>
int32_t WalkOutline(int32_t a, int32_t b, Visit visit) {
    EllipseWalk walk(a, b);
    visit(0, b);
    EllipseWalk::Step step;
    while (walk.Advance(step))
        visit(walk.x(), walk.y());
    return walk.x();
}

// The span x1..x2 on both rows of row offset y.
void SpanOnBothRows(ShapeSink& sink, const OvalGeometry& g, int32_t x1, int32_t x2, int32_t y);
// The four mirror images of the outline point at offset (x, y).
void PlotMirrored(ShapeSink& sink, const OvalGeometry& g, int32_t x, int32_t y);

}  // namespace shapes
