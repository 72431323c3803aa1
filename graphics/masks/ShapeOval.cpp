// Filled and framed ovals.
#include "graphics/masks/ShapeWalk.h"

namespace shapes {

void FillOvalSpans(ShapeSink& sink, const ShapeRect& rect) {
    OvalGeometry g;
    if (!MakeOvalGeometry(rect, g))
        return;
    EllipseWalk walk(g.a, g.b);
    int32_t y, x;
    while (walk.NextRow(y, x))
        SpanOnBothRows(sink, g, g.cxL - x, g.cxR + x, y);
    if (g.oddHeight)
        DrawSpan(sink, rect.left, rect.right - 1, g.cyT);
}

void FrameOval(ShapeSink& sink, const ShapeRect& rect, PenSize pen) {
    OvalGeometry g;
    if (!HasPen(pen) || !MakeOvalGeometry(rect, g))
        return;
    if (PenFillsShape(rect, pen)) {
        FillOvalSpans(sink, rect);
        return;
    }
    if (pen.width == 1 && pen.height == 1) {
        WalkOutline(g.a, g.b, [&](int32_t x, int32_t y) { PlotMirrored(sink, g, x, y); });
        if (g.oddHeight) {
            PlotPixel(sink, rect.left, g.cyT);
            PlotPixel(sink, rect.right - 1, g.cyT);
        }
        return;
    }
    RingWalk ring(g, pen);
    int32_t y;
    bool withinInner;
    while (ring.NextRow(y, withinInner)) {
        if (withinInner) {
            SpanOnBothRows(sink, g, g.cxL - ring.xo(), g.cxR - ring.xi(), y);
            SpanOnBothRows(sink, g, g.cxL + ring.xi(), g.cxR + ring.xo(), y);
        } else {
            SpanOnBothRows(sink, g, g.cxL - ring.xo(), g.cxR + ring.xo(), y);
        }
    }
    if (g.oddHeight) {
        DrawSpan(sink, g.cxL - ring.xo(), g.cxR - ring.xi(), g.cyT);
        DrawSpan(sink, g.cxL + ring.xi(), g.cxR + ring.xo(), g.cyT);
    }
}

}  // namespace shapes
