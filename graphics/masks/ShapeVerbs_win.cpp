// The shape verbs over GDI: the rasterizer's spans as one-pixel lines of the selected pen, its
// rectangles filled with a brush.
#include "graphics/masks/ShapeVerbs.h"

#include <algorithm>
#include <cstdint>

#include "core/ui/GdiGuards.h"

namespace shapes {

namespace {

// GDI takes coordinates well inside 32 bits; a rectangle past that range is cut to it.
constexpr int32_t kGdiLimit = 1 << 27;

int GdiCoordinate(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, -kGdiLimit, kGdiLimit));
}

RECT ToGdiRect(const ShapeRect& rect) {
    return {GdiCoordinate(rect.left), GdiCoordinate(rect.top), GdiCoordinate(rect.right), GdiCoordinate(rect.bottom)};
}

// Spans as lines whose end point is excluded; rectangles filled with the given brush, or without
// one line by line with the selected pen (a round rectangle whose corners are too small to
// round frames with bands of its pen).
class GdiShapeSink : public ShapeSink {
public:
    explicit GdiShapeSink(HDC dc, HBRUSH brush = nullptr) : dc_(dc), brush_(brush) {}
    void Span(int32_t x1, int32_t x2, int32_t y) override {
        MoveToEx(dc_, x1, y, nullptr);
        LineTo(dc_, GdiCoordinate(int64_t{x2} + 1), y);
    }
    void Fill(const ShapeRect& rect) override {
        const RECT r = ToGdiRect(rect);
        if (brush_) {
            FillRect(dc_, &r, brush_);
            return;
        }
        for (int y = r.top; y < r.bottom; ++y)
            DrawSpan(*this, r.left, r.right - 1, y);
    }

private:
    HDC dc_;
    HBRUSH brush_;
};

// SetROP2, and the previous mix mode back.
class ScopedMixMode {
public:
    ScopedMixMode(HDC dc, int mode) : dc_(dc), previous_(SetROP2(dc, mode)) {}
    ~ScopedMixMode() {
        if (previous_)
            SetROP2(dc_, previous_);
    }
    ScopedMixMode(const ScopedMixMode&) = delete;
    ScopedMixMode& operator=(const ScopedMixMode&) = delete;

private:
    HDC dc_;
    int previous_;
};

PenSize PenOf(const ShapeStyle& style) {
    return {style.penWidth, style.penHeight};
}

// Draws with a new one-pixel solid pen of the colour.
template <class Draw>
void WithPen(HDC dc, COLORREF color, Draw draw) {
    OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    SelectedObject selected(dc, pen.get());
    if (!selected)
        return;
    GdiShapeSink sink(dc);
    draw(sink);
}

// Draws with the stock white pen by exclusive-or: drawing twice restores the pixels.
template <class Draw>
void WithInvertingPen(HDC dc, Draw draw) {
    SelectedObject selected(dc, GetStockObject(WHITE_PEN));
    if (!selected)
        return;
    ScopedMixMode mix(dc, R2_XORPEN);
    GdiShapeSink sink(dc);
    draw(sink);
}

}  // namespace

void DrawSpan(HDC dc, int32_t x1, int32_t x2, int32_t y) {
    GdiShapeSink sink(dc);
    DrawSpan(sink, x1, x2, y);
}

void EraseRect(HDC dc, const ShapeRect& rect, ShapeStyle style) {
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(style.backColor));
    if (brush)
        GdiShapeSink(dc, brush.get()).Fill(rect);
}

void InvertRect(HDC dc, const ShapeRect& rect, ShapeStyle) {
    SelectedObject selected(dc, GetStockObject(WHITE_BRUSH));
    if (!selected)
        return;
    ScopedMixMode mix(dc, R2_XORPEN);
    // The brush's raster operation does the exclusive-or: a filled rectangle takes no mix mode.
    const RECT r = ToGdiRect(rect);
    PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATINVERT);
}

void FrameRect(HDC dc, const ShapeRect& rect, ShapeStyle style) {
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(style.penColor));
    if (!brush)
        return;
    SelectedObject selected(dc, brush.get());
    GdiShapeSink sink(dc, brush.get());
    FrameRect(sink, rect, PenOf(style));
}

void EraseOval(HDC dc, const ShapeRect& rect, ShapeStyle style) {
    WithPen(dc, style.backColor, [&](ShapeSink& sink) { FillOvalSpans(sink, rect); });
}

void InvertOval(HDC dc, const ShapeRect& rect, ShapeStyle) {
    WithInvertingPen(dc, [&](ShapeSink& sink) { FillOvalSpans(sink, rect); });
}

void PaintOval(HDC dc, const ShapeRect& rect, ShapeStyle style) {
    WithPen(dc, style.penColor, [&](ShapeSink& sink) { FillOvalSpans(sink, rect); });
}

void FrameOval(HDC dc, const ShapeRect& rect, ShapeStyle style) {
    WithPen(dc, style.penColor, [&](ShapeSink& sink) { FrameOval(sink, rect, PenOf(style)); });
}

void EraseRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style) {
    WithPen(dc, style.backColor, [&](ShapeSink& sink) { FillRoundRectSpans(sink, rect, cornerWidth, cornerHeight); });
}

void InvertRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle) {
    WithInvertingPen(dc, [&](ShapeSink& sink) { FillRoundRectSpans(sink, rect, cornerWidth, cornerHeight); });
}

void PaintRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style) {
    WithPen(dc, style.penColor, [&](ShapeSink& sink) { FillRoundRectSpans(sink, rect, cornerWidth, cornerHeight); });
}

void FrameRoundRect(HDC dc, const ShapeRect& rect, int32_t cornerWidth, int32_t cornerHeight, ShapeStyle style) {
    WithPen(dc, style.penColor,
            [&](ShapeSink& sink) { FrameRoundRect(sink, rect, cornerWidth, cornerHeight, PenOf(style)); });
}

void EraseArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style) {
    WithPen(dc, style.backColor,
            [&](ShapeSink& sink) { FillArcSpans(sink, rect, startAngle, arcAngle, PenOf(style)); });
}

void InvertArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style) {
    WithInvertingPen(dc, [&](ShapeSink& sink) { FillArcSpans(sink, rect, startAngle, arcAngle, PenOf(style)); });
}

void PaintArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style) {
    WithPen(dc, style.penColor, [&](ShapeSink& sink) { FillArcSpans(sink, rect, startAngle, arcAngle, PenOf(style)); });
}

void FrameArc(HDC dc, const ShapeRect& rect, int32_t startAngle, int32_t arcAngle, ShapeStyle style) {
    WithPen(dc, style.penColor, [&](ShapeSink& sink) { FrameArc(sink, rect, startAngle, arcAngle, PenOf(style)); });
}

}  // namespace shapes
