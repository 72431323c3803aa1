// One shape verb named by verb and family, drawn through GDI or through the rasterizer, so that
// tests can lay out tables of shapes and draw each table both ways. For round rectangles a and b
// are the corner size, for arcs the start and arc angles; otherwise they are not used.
#pragma once

#include <windows.h>

#include "graphics/masks/ShapeVerbs.h"
#include "tests/graphics/ShapeTestUtil.h"

enum ShapeVerb { kErase, kInvert, kPaint, kFrame };
enum ShapeFamily { kRect, kOval, kRoundRect, kArc };

// There is no Paint for plain rectangles: it draws nothing.
inline void DrawGdi(HDC dc, ShapeVerb verb, ShapeFamily family, const shapes::ShapeRect& r, int a, int b,
                    shapes::ShapeStyle style) {
    using namespace shapes;
    using Call = void (*)(HDC, const ShapeRect&, int, int, ShapeStyle);
    const Call rounds[] = {EraseRoundRect, InvertRoundRect, PaintRoundRect, FrameRoundRect};
    const Call arcs[] = {EraseArc, InvertArc, PaintArc, FrameArc};
    using Plain = void (*)(HDC, const ShapeRect&, ShapeStyle);
    const Plain rects[] = {EraseRect, InvertRect, nullptr, FrameRect};
    const Plain ovals[] = {EraseOval, InvertOval, PaintOval, FrameOval};
    if (family == kRoundRect || family == kArc)
        (family == kArc ? arcs : rounds)[verb](dc, r, a, b, style);
    else if (const Plain plain = (family == kRect ? rects : ovals)[verb])
        plain(dc, r, style);
}

// The same through the rasterizer: Erase, Invert and Paint share the fills.
inline void DrawRaster(shapes::ShapeSink& s, ShapeVerb verb, ShapeFamily family, const shapes::ShapeRect& r, int a,
                       int b, shapes::PenSize pen) {
    using namespace shapes;
    const bool frame = verb == kFrame;
    switch (family) {
    case kRect:
        return frame ? FrameRect(s, r, pen) : s.Fill(r);
    case kOval:
        return frame ? FrameOval(s, r, pen) : FillOvalSpans(s, r);
    case kRoundRect:
        return frame ? FrameRoundRect(s, r, a, b, pen) : FillRoundRectSpans(s, r, a, b);
    case kArc:
        return frame ? FrameArc(s, r, a, b, pen) : FillArcSpans(s, r, a, b, pen);
    }
}
