// Filled and framed round rectangles: a quarter oval of the corner size in each corner, joined
// by straight edges.
#include <algorithm>

#include "graphics/masks/ShapeWalk.h"

namespace shapes {

namespace {

// The corner ovals' geometry: semi-axes of the (clamped) corner size, centred on fixed columns
// and rows inside the corners; rT - y and rB + y are the rows of offset y.
OvalGeometry CornerGeometry(const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight) {
    OvalGeometry g;
    g.a = cornerWidth / 2;
    g.b = cornerHeight / 2;
    g.cxL = rect.left + g.a;
    g.cxR = rect.right - g.a - 1;
    g.cyT = rect.top + g.b;
    g.cyB = rect.bottom - g.b - 1;
    return g;
}

// Row ranges are 64-bit: a range that is empty at the edge of the coordinate range would
// otherwise step past it.
void WholeRows(ShapeSink& sink, const ShapeRect& rect, int64_t firstRow, int64_t lastRow) {
    for (int64_t row = firstRow; row <= lastRow; ++row)
        DrawSpan(sink, rect.left, rect.right - 1, static_cast<int32_t>(row));
}

// The corner size at most the rectangle's: a larger corner would put the corner centres
// outside the rectangle.
void ClampCorners(int32_t w, int32_t h, int32_t& cornerWidth, int32_t& cornerHeight) {
    cornerWidth = std::min(cornerWidth, w);
    cornerHeight = std::min(cornerHeight, h);
}

}  // namespace

void FillRoundRectSpans(ShapeSink& sink, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight) {
    int32_t w, h;
    if (!ShapeExtent(rect, w, h))
        return;
    ClampCorners(w, h, cornerWidth, cornerHeight);
    if (cornerWidth < 2 || cornerHeight < 2) {
        WholeRows(sink, rect, rect.top, rect.bottom - 1);
        return;
    }
    const OvalGeometry g = CornerGeometry(rect, cornerWidth, cornerHeight);
    // A corner as tall as the rectangle puts rT and rB on or past each other: the rows there
    // are reached by the walk and by the corner rows alike, and each row is drawn once, with
    // the widest of its spans (all are centred alike, so that is their union).
    const bool cornerRowsCross = g.cyB < g.cyT;
    EllipseWalk walk(g.a, g.b);
    int32_t y, x, firstRowX = 0;
    while (walk.NextRow(y, x)) {
        if (y == 1)
            firstRowX = x;
        if (!(cornerRowsCross && y == 1))
            SpanOnBothRows(sink, g, g.cxL - x, g.cxR + x, y);
    }
    int32_t xf = walk.x();
    if (walk.endedInFirstRegion())
        xf = std::max(xf, g.a - 1);
    if (cornerRowsCross)
        xf = std::max(xf, firstRowX);
    DrawSpan(sink, g.cxL - xf, g.cxR + xf, g.cyT);
    if (g.cyB != g.cyT)
        DrawSpan(sink, g.cxL - xf, g.cxR + xf, g.cyB);
    WholeRows(sink, rect, int64_t{g.cyT} + 1, int64_t{g.cyB} - 1);
}

void FrameRoundRect(ShapeSink& sink, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, PenSize pen) {
    int32_t w, h;
    if (!HasPen(pen) || !ShapeExtent(rect, w, h))
        return;
    ClampCorners(w, h, cornerWidth, cornerHeight);
    if (cornerWidth < 2 || cornerHeight < 2) {
        FrameRect(sink, rect, pen);
        return;
    }
    if (PenFillsShape(rect, pen)) {
        FillRoundRectSpans(sink, rect, cornerWidth, cornerHeight);
        return;
    }
    const OvalGeometry g = CornerGeometry(rect, cornerWidth, cornerHeight);
    const int32_t a = g.a, b = g.b;
    const int32_t sideRight = rect.right - 1;

    if (pen.width == 1 && pen.height == 1) {
        DrawSpan(sink, g.cxL, g.cxR, rect.top);
        DrawSpan(sink, g.cxL, g.cxR, rect.bottom - 1);
        const int32_t xf = WalkOutline(a, b, [&](int32_t x, int32_t y) { PlotMirrored(sink, g, x, y); });
        // A flat corner stops short of the side: its last row runs on to one column inside it.
        if (xf < a - 1) {
            for (int32_t row : {g.cyT, g.cyB}) {
                DrawSpan(sink, g.cxL - (a - 1), g.cxL - xf - 1, row);
                DrawSpan(sink, g.cxR + xf + 1, g.cxR + (a - 1), row);
            }
        }
        for (int64_t row = int64_t{g.cyT} + 1; row <= int64_t{g.cyB} - 1; ++row) {
            PlotPixel(sink, rect.left, static_cast<int32_t>(row));
            PlotPixel(sink, sideRight, static_cast<int32_t>(row));
        }
        return;
    }

    // The corner rings between the outer corner oval and one smaller by the pen; where the
    // pen is wider than the corner, the inner edge is the side band's.
    const int32_t innerA = a - pen.width, innerB = b - pen.height;
    EllipseWalk outer(a, b), inner(std::max(innerA, 0), innerB);
    int32_t y, xo, xi = 0, firstRowX = 0;
    while (outer.NextRow(y, xo)) {
        if (y == 1)
            firstRowX = xo;
        if (y > innerB) {
            SpanOnBothRows(sink, g, g.cxL - xo, g.cxR + xo, y);
        } else if (innerA >= 0) {
            int32_t innerRow;
            inner.NextRow(innerRow, xi);
            SpanOnBothRows(sink, g, g.cxL - xo, g.cxL - xi - 1, y);
            SpanOnBothRows(sink, g, g.cxR + xi + 1, g.cxR + xo, y);
        } else {
            SpanOnBothRows(sink, g, g.cxL - xo, rect.left + pen.width - 1, y);
            SpanOnBothRows(sink, g, rect.right - pen.width, g.cxR + xo, y);
        }
    }
    if (firstRowX < a - 1) {
        SpanOnBothRows(sink, g, g.cxL - (a - 1), g.cxL - firstRowX - 1, 1);
        SpanOnBothRows(sink, g, g.cxR + firstRowX + 1, g.cxR + (a - 1), 1);
    }
    // A pen taller than the corner: whole rows below the top band and above the bottom one.
    const int64_t extraRows = std::max(pen.height - b, 0), cyT = g.cyT, cyB = g.cyB;
    WholeRows(sink, rect, cyT, cyT + extraRows - 1);
    WholeRows(sink, rect, cyB - extraRows + 1, cyB);
    for (int64_t row = cyT + extraRows; row <= cyB - extraRows; ++row) {
        DrawSpan(sink, rect.left, rect.left + pen.width - 1, static_cast<int32_t>(row));
        DrawSpan(sink, rect.right - pen.width, sideRight, static_cast<int32_t>(row));
    }
}

}  // namespace shapes
