// The oval geometry and the ellipse row walk.
#include "graphics/masks/ShapeWalk.h"

namespace shapes {

bool ShapeExtent(const ShapeRect& rect, int32_t& width, int32_t& height) {
    const int64_t w = int64_t{rect.right} - rect.left;
    const int64_t h = int64_t{rect.bottom} - rect.top;
    if (w <= 0 || h <= 0 || w > kMaxShapeExtent || h > kMaxShapeExtent) {
        width = height = 0;
        return false;
    }
    width = static_cast<int32_t>(w);
    height = static_cast<int32_t>(h);
    return true;
}

bool MakeOvalGeometry(const ShapeRect& rect, OvalGeometry& out) {
    int32_t w, h;
    if (!ShapeExtent(rect, w, h))
        return false;
    out.a = w / 2;
    out.b = h / 2;
    out.oddWidth = (w & 1) != 0;
    out.oddHeight = (h & 1) != 0;
    out.cxL = rect.left + out.a;
    out.cxR = out.oddWidth ? out.cxL : out.cxL - 1;
    out.cyT = rect.top + out.b;
    out.cyB = out.oddHeight ? out.cyT : out.cyT - 1;
    return true;
}

EllipseWalk::EllipseWalk(int32_t a, int32_t b)
    : a2_(int64_t{a} * a), b2_(int64_t{b} * b), d_(a2_ + 4 * b2_ - 4 * a2_ * b), y_(b) {}

bool EllipseWalk::Advance(Step& step) {
    step = {};
    if (y_ <= 0)
        return false;
    const int64_t x = x_, y = y_;
    if (firstRegion_) {
        if ((2 * y - 1) * a2_ > 2 * b2_ * (x + 1)) {
            if (d_ < 0) {
                d_ += 4 * b2_ * (2 * x + 3);
            } else {
                step = {true, y_, x_};
                d_ += 4 * (b2_ * (2 * x + 3) + a2_ * (2 - 2 * y));
                --y_;
            }
            ++x_;
            return true;
        }
        // The second region starts where the first stopped, even in the middle of a row.
        firstRegion_ = false;
        d_ = b2_ * (2 * x + 1) * (2 * x + 1) + 4 * a2_ * ((y - 1) * (y - 1) - b2_);
    }
    step = {true, y_, x_};
    if (d_ < 0) {
        d_ += 4 * (b2_ * (2 * x + 2) + a2_ * (3 - 2 * y));
        ++x_;
    } else {
        d_ += 4 * a2_ * (3 - 2 * y);
    }
    --y_;
    return true;
}

bool EllipseWalk::NextRow(int32_t& row, int32_t& halfWidth) {
    Step step;
    while (Advance(step)) {
        if (step.rowDone) {
            row = step.row;
            halfWidth = step.halfWidth;
            return true;
        }
    }
    return false;
}

RingWalk::RingWalk(const OvalGeometry& g, PenSize pen)
    : innerB_(g.b - pen.height), outer_(g.a, g.b), inner_(g.a - pen.width + (g.oddWidth ? 1 : 0), innerB_) {}

bool RingWalk::NextRow(int32_t& y, bool& withinInner) {
    if (!outer_.NextRow(y, xo_))
        return false;
    withinInner = y <= innerB_;
    int32_t innerRow;
    if (withinInner)
        inner_.NextRow(innerRow, xi_);
    return true;
}

void SpanOnBothRows(ShapeSink& sink, const OvalGeometry& g, int32_t x1, int32_t x2, int32_t y) {
    DrawSpan(sink, x1, x2, g.cyT - y);
    DrawSpan(sink, x1, x2, g.cyB + y);
}

void PlotMirrored(ShapeSink& sink, const OvalGeometry& g, int32_t x, int32_t y) {
    PlotPixel(sink, g.cxL - x, g.cyT - y);
    PlotPixel(sink, g.cxR + x, g.cyT - y);
    PlotPixel(sink, g.cxL - x, g.cyB + y);
    PlotPixel(sink, g.cxR + x, g.cyB + y);
}

}  // namespace shapes
