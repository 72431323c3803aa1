// The frames of "Zoom in" and "Zoom out": 14 rectangles between a 4 x 4 square around the zoom
// centre and the transition rectangle, drawn and erased with an inverting pen over 18 passes.
#pragma once

#include <array>

#include "core/memory/ShortRect.h"

inline constexpr int kZoomFrames = 14;
inline constexpr int kZoomPasses = 18;
inline constexpr int kZoomTrail = 4;  // a frame is erased this many passes after it was drawn

// The square around the centre.
Rect32 ZoomStartRect(int x, int y);
// Frame f: start + (end - start) x t per side, truncated to 16 bits; t starts at 0.7^15 and is
// divided by 0.7 per frame (zoom out), or starts at 1 - 0.7^15 and is multiplied by 0.7 (zoom in).
std::array<Rect32, kZoomFrames> ZoomFrameRects(bool zoomIn, const Rect32& start, const Rect32& end);
