// The shape rasterizer, platform-neutral: ovals, round rectangles, arcs and rectangle frames
// turned into horizontal spans, single pixels and filled rectangles handed to a ShapeSink.
// The GDI verbs that draw them into a device context are in ShapeVerbs.h.
//   ShapeSink.cpp        DrawSpan, PlotPixel, FrameRect's four bands
//   ShapeWalk.cpp        the oval geometry, the ellipse row walk, the ring walk of frames (ShapeWalk.h)
//   ShapeOval.cpp        FillOvalSpans, FrameOval
//   ShapeRoundRect.cpp   FillRoundRectSpans, FrameRoundRect
//   ShapeArcGeometry.cpp angles, quadrant classes, ray end points, ray walks (ShapeArcGeometry.h)
//   ShapeArc.cpp         FillArcSpans, FrameArc
#pragma once

#include <cstdint>

namespace shapes {

// Columns left..right-1 by rows top..bottom-1.
struct ShapeRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The pen in pixels; a width or height below 1 is no pen (frames and arcs then draw nothing).
struct PenSize {
    int32_t width = 0, height = 0;
};

// Where the rasterizer puts its pixels. Span covers x1..x2 of row y (x1 <= x2 always); Fill
// covers a rectangle as given (only FrameRect's bands and the plain filled rectangles).
class ShapeSink {
public:
    virtual ~ShapeSink() = default;
    virtual void Span(int32_t x1, int32_t x2, int32_t y) = 0;
    virtual void Pixel(int32_t x, int32_t y) { Span(x, x, y); }
    virtual void Fill(const ShapeRect& rect) = 0;
};

// The pixels x1..x2 of row y; nothing when x2 < x1.
void DrawSpan(ShapeSink& sink, int32_t x1, int32_t x2, int32_t y);
void PlotPixel(ShapeSink& sink, int32_t x, int32_t y);

// Wider or taller shapes (ovals, round rectangles, arcs) draw nothing: their walks would run
// for billions of rows and their decision values would leave 64 bits.
constexpr int64_t kMaxShapeExtent = 65535;

// The back end of Erase, Invert and Paint: each pixel of the shape exactly once.
void FillOvalSpans(ShapeSink& sink, const ShapeRect& rect);
void FillRoundRectSpans(ShapeSink& sink, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight);
// Nothing for no pen, an arc angle of 0 or an empty rectangle.
void FillArcSpans(ShapeSink& sink, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, PenSize pen);

// Frames keep the pen inside the rectangle. Frames may touch a pixel twice: they are drawn in a
// plain colour, never by exclusive-or.
void FrameRect(ShapeSink& sink, const ShapeRect& rect, PenSize pen);
void FrameOval(ShapeSink& sink, const ShapeRect& rect, PenSize pen);
void FrameRoundRect(ShapeSink& sink, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, PenSize pen);
void FrameArc(ShapeSink& sink, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, PenSize pen);

}  // namespace shapes
