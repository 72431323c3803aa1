// Spans, single pixels and the four bands of a rectangle frame.
#include <algorithm>

#include "graphics/masks/Shapes.h"

namespace shapes {

void DrawSpan(ShapeSink& sink, int32_t x1, int32_t x2, int32_t y) {
    // A reversed span is empty: drawn as a line it would run backwards over other pixels.
    if (x2 < x1)
        return;
    sink.Span(x1, x2, y);
}

void PlotPixel(ShapeSink& sink, int32_t x, int32_t y) {
    sink.Pixel(x, y);
}

void FrameRect(ShapeSink& sink, const ShapeRect& rect, PenSize pen) {
    const int64_t w = int64_t{rect.right} - rect.left;
    const int64_t h = int64_t{rect.bottom} - rect.top;
    const int64_t pw = std::min<int64_t>(pen.width, w);
    const int64_t ph = std::min<int64_t>(pen.height, h);
    if (pw < 1 || ph < 1)
        return;
    // pw <= w and ph <= h: every edge below lies between the rectangle's own.
    const auto l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    const auto iw = static_cast<int32_t>(pw), ih = static_cast<int32_t>(ph);
    sink.Fill({l, t, l + iw, b});
    sink.Fill({r - iw, t, r, b});
    sink.Fill({l, t, r, t + ih});
    sink.Fill({l, b - ih, r, b});
}

}  // namespace shapes
