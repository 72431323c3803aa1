// The shape verbs of the LoomLogo drawing primitives: Erase, Frame, Invert and Paint on
// rectangles, ovals, round rectangles and arcs, drawn into a device context with the pen or
// brush and mix mode each needs; the context's pen, brush and mix mode are restored and what
// was made is deleted (ShapeVerbs_win.cpp). The pixels are those of Shapes.h.
// In the namespace shapes: FrameRect and InvertRect are also Win32 names.
#pragma once

#include <windows.h>

#include "graphics/masks/Shapes.h"

namespace shapes {

// The drawing attributes of one call, filled by the caller from the current turtle; passed by
// value, so each call reads them once.
struct ShapeStyle {
    COLORREF penColor = 0;   // Paint and Frame
    COLORREF backColor = 0;  // Erase
    int32_t penWidth = 0, penHeight = 0;
};

// The pixels x1..x2 of row y with the selected pen (nothing when x2 < x1); for the polygon filler.
void DrawSpan(HDC dc, int32_t x1, int32_t x2, int32_t y);

// Plain rectangles: the rectangle as given, no test for empty.
void EraseRect(HDC dc, const ShapeRect& rect, ShapeStyle style);
void InvertRect(HDC dc, const ShapeRect& rect, ShapeStyle style);
void FrameRect(HDC dc, const ShapeRect& rect, ShapeStyle style);

void EraseOval(HDC dc, const ShapeRect& rect, ShapeStyle style);
void InvertOval(HDC dc, const ShapeRect& rect, ShapeStyle style);
void PaintOval(HDC dc, const ShapeRect& rect, ShapeStyle style);
void FrameOval(HDC dc, const ShapeRect& rect, ShapeStyle style);

void EraseRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style);
void InvertRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style);
void PaintRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style);
void FrameRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style);

// Angles in degrees clockwise from 12 o'clock.
void EraseArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style);
void InvertArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style);
void PaintArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style);
void FrameArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style);

}  // namespace shapes
