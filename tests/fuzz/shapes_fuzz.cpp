// Random rectangles anywhere in the coordinate range, pens, corners and angles through every
// shape of the rasterizer. Nothing lands outside the rectangle, and a filled shape touches each
// pixel once, so an exclusive-or drawing covers what painting does and a second one restores it.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>

#include "graphics/masks/Shapes.h"
#include "tests/graphics/ShapeTestUtil.h"

using namespace shapes;

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// For the largest shapes, too large for a canvas: only where each span and rectangle lands.
class BoundsSink : public ShapeSink {
public:
    explicit BoundsSink(const ShapeRect& rect) : r_(rect) {}
    void Span(int32_t x1, int32_t x2, int32_t y) override {
        Check(x1 <= x2 && x1 >= r_.left && x2 < r_.right && y >= r_.top && y < r_.bottom);
    }
    void Fill(const ShapeRect& f) override {
        Check(f.left >= r_.left && f.right <= r_.right && f.top >= r_.top && f.bottom <= r_.bottom);
    }

private:
    ShapeRect r_;
};

template <class Draw>
void CheckDrawn(const ShapeRect& window, bool filled, Draw draw) {
    const ShapeCanvas canvas = DrawnShape(window, draw);
    Check(canvas.outside() == 0);
    Check(!filled || canvas.touched(2) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int32_t left = in.ConsumeIntegral<int32_t>(), top = in.ConsumeIntegral<int32_t>();
    const bool largest = in.ConsumeIntegralInRange(0, 15) == 0;
    const int64_t span = largest ? kMaxShapeExtent + 3 : 130;
    const int64_t w = in.ConsumeIntegralInRange<int64_t>(largest ? span - 7 : -4, span);
    const int64_t h = in.ConsumeIntegralInRange<int64_t>(largest ? span - 7 : -4, span);
    auto clamped = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const ShapeRect rect{left, top, clamped(left + w), clamped(top + h)};
    auto anySize = [&](int small) {
        return in.ConsumeBool() ? in.ConsumeIntegral<int32_t>() : in.ConsumeIntegralInRange(-3, small);
    };
    const PenSize pen{anySize(40), anySize(40)};
    const int32_t cornerWidth = anySize(150), cornerHeight = anySize(150), start = anySize(720), arc = anySize(720);

    if (largest) {
        BoundsSink s(rect);
        FillOvalSpans(s, rect);
        FillRoundRectSpans(s, rect, cornerWidth, cornerHeight);
        FillArcSpans(s, rect, start, arc, pen);
        FrameRect(s, rect, pen);
        FrameOval(s, rect, pen);
        FrameRoundRect(s, rect, cornerWidth, cornerHeight, pen);
        FrameArc(s, rect, start, arc, pen);
        return 0;
    }
    // An empty rectangle draws nothing: its window holds no pixel, so any pixel is outside it.
    const bool empty = rect.right <= rect.left || rect.bottom <= rect.top;
    const ShapeRect window = empty ? ShapeRect{left, top, left, top} : rect;
    CheckDrawn(window, true, [&](ShapeSink& s) { FillOvalSpans(s, rect); });
    CheckDrawn(window, true, [&](ShapeSink& s) { FillRoundRectSpans(s, rect, cornerWidth, cornerHeight); });
    CheckDrawn(window, true, [&](ShapeSink& s) { FillArcSpans(s, rect, start, arc, pen); });
    CheckDrawn(window, false, [&](ShapeSink& s) { FrameRect(s, rect, pen); });
    CheckDrawn(window, false, [&](ShapeSink& s) { FrameOval(s, rect, pen); });
    CheckDrawn(window, false, [&](ShapeSink& s) { FrameRoundRect(s, rect, cornerWidth, cornerHeight, pen); });
    CheckDrawn(window, false, [&](ShapeSink& s) { FrameArc(s, rect, start, arc, pen); });
    return 0;
}
