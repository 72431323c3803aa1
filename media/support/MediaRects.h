// Rectangles of the media layer: conversions to the stored and the QuickTime forms, and the
// placements of a movie in a window. A rectangle is left, top, right, bottom (32-bit); the
// placements work on the window's client rectangle, given here and taken from the window by
// the *InWindow forms (MediaRects_win.cpp).
#pragma once

#include <cstdint>

#include "core/memory/ShortRect.h"
#include "quicktime/QtTypes.h"

template <RectLike R>
ShortRect ShortRectFromRect(const R& r) {
    ShortRect s{};
    RectToShortRect(r, &s);
    return s;
}

// QuickTime's order, top, left, bottom, right, in 16 bits.
template <RectLike R>
QtRect RectToQTRect(const R& r) {
    return QtRect{static_cast<int16_t>(r.top), static_cast<int16_t>(r.left), static_cast<int16_t>(r.bottom),
                  static_cast<int16_t>(r.right)};
}

// The same moved to the origin (what QuickTime's MacOffsetRect by -left, -top gives).
template <RectLike R>
QtRect RectToQTRectAtOrigin(const R& r) {
    const QtRect q = RectToQTRect(r);
    return QtRect{0, 0, static_cast<int16_t>(q.bottom - q.top), static_cast<int16_t>(q.right - q.left)};
}

// A window point as QuickTime takes it: vertical, then horizontal.
inline QtPoint PointToQTPoint(int32_t x, int32_t y) { return QtPoint{static_cast<int16_t>(y), static_cast<int16_t>(x)}; }

// All four values 0 (an empty rectangle elsewhere is not zero).
template <RectLike R>
bool IsRectZero(const R& r) {
    return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

template <RectLike R>
void InflateRectBy(R* r, int32_t dx, int32_t dy) {
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
}

template <RectLike R>
void OffsetRectBy(R* r, int32_t dx, int32_t dy) {
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
}

// The area a fitted movie may take with margins: 4 on each side, a further 12 at the top and
// the last 16 kept free at the bottom (where a dialog's controls sit).
inline constexpr int32_t kFitMargin = 4;
inline constexpr int32_t kFitTopExtra = 12;
inline constexpr int32_t kFitBottomFree = 16;

// The same size, centred in the client rectangle (signed division).
Rect32 CentreRectIn(const Rect32& rect, const Rect32& client);
// Kept at its size when it fits the area, else scaled down to fit it keeping its proportions;
// then centred horizontally in the client rectangle and vertically in the area.
Rect32 FitRectIn(const Rect32& rect, const Rect32& client, bool margins);
// Left at 0 and moved down so that the bottom meets the client's height.
Rect32 BottomAlignRectIn(const Rect32& rect, const Rect32& client);
