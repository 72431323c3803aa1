// Zoom frames.
#include "cardview/transitions/TransitionZoom.h"

#include <cmath>
#include <cstdint>

Rect32 ZoomStartRect(int x, int y) { return {x - 2, y - 2, x + 2, y + 2}; }

std::array<Rect32, kZoomFrames> ZoomFrameRects(bool zoomIn, const Rect32& start, const Rect32& end) {
    std::array<Rect32, kZoomFrames> frames{};
    const double small = std::pow(0.7, 15);
    double t = zoomIn ? 1.0 - small : small;
    auto side = [&t](int32_t a, int32_t b) {
        return int32_t{static_cast<int16_t>(static_cast<int32_t>(a + (b - a) * t))};
    };
    for (Rect32& frame : frames) {
        frame = {side(start.left, end.left), side(start.top, end.top), side(start.right, end.right),
                 side(start.bottom, end.bottom)};
        t = zoomIn ? t * 0.7 : t / 0.7;
    }
    return frames;
}
