// Rectangle arithmetic in the two forms the program uses: ShortRect, four signed 16-bit values
// as records keep them, and the 32-bit rectangle used for drawing (RECT on Windows, Rect32 in
// platform-free code). Both list left, top, right, bottom.
//
// The operations on 32-bit rectangles are templates over any type with those four members, so
// the same code serves RECT in the Windows glue and Rect32 in the platform-free modules.
#pragma once

#include <algorithm>
#include <concepts>
#include <cstdint>

struct ShortRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;
};

struct Rect32 {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

template <class R>
concept RectLike = requires(R r) {
    { r.left } -> std::convertible_to<int32_t>;
    { r.top } -> std::convertible_to<int32_t>;
    { r.right } -> std::convertible_to<int32_t>;
    { r.bottom } -> std::convertible_to<int32_t>;
};

// ShortRect.cpp: both in 16-bit arithmetic, as the values are stored.
void OffsetShortRect(ShortRect* r, int16_t dx, int16_t dy);
bool EqualShortRect(const ShortRect& a, const ShortRect& b);

// Widening sign-extends each value.
template <RectLike R>
void ShortRectToRect(const ShortRect& source, R* destination) {
    destination->left = source.left;
    destination->top = source.top;
    destination->right = source.right;
    destination->bottom = source.bottom;
}

// Narrowing keeps the low 16 bits of each value.
template <RectLike R>
void RectToShortRect(const R& source, ShortRect* destination) {
    destination->left = static_cast<int16_t>(source.left);
    destination->top = static_cast<int16_t>(source.top);
    destination->right = static_cast<int16_t>(source.right);
    destination->bottom = static_cast<int16_t>(source.bottom);
}

// Swaps left/right and top/bottom where needed so that left <= right and top <= bottom.
template <RectLike R>
void NormalizeRect(R* r) {
    if (r->left > r->right) {
        const auto t = r->left;
        r->left = r->right;
        r->right = t;
    }
    if (r->top > r->bottom) {
        const auto t = r->top;
        r->top = r->bottom;
        r->bottom = t;
    }
}

// The centre, the half extents rounding toward zero: (-5, -5, 0, 0) gives (-3, -3).
template <RectLike R>
void RectCenter(const R& r, int16_t* x, int16_t* y) {
    const int64_t left = r.left, top = r.top;
    *x = static_cast<int16_t>(left + (static_cast<int64_t>(r.right) - left) / 2);
    *y = static_cast<int16_t>(top + (static_cast<int64_t>(r.bottom) - top) / 2);
}

// A rectangle of a's size (taken from the low 16 bits of a's values) centred on b's centre.
template <RectLike A, RectLike B, RectLike Out>
void CenterRectInRect(const A& a, const B& b, Out* out) {
    const int32_t width = static_cast<int16_t>(a.right) - static_cast<int16_t>(a.left);
    const int32_t height = static_cast<int16_t>(a.bottom) - static_cast<int16_t>(a.top);
    int16_t cx = 0, cy = 0;
    RectCenter(b, &cx, &cy);
    out->left = cx - width / 2;
    out->top = cy - height / 2;
    out->right = out->left + width;
    out->bottom = out->top + height;
}

// r moved, size kept, by the least that brings it inside bounds; one larger than bounds keeps
// bounds' left or top edge, so that its title and its left side stay in reach.
template <RectLike R, RectLike B>
void MoveRectInside(R* r, const B& bounds) {
    const int64_t dx = r->right > bounds.right ? static_cast<int64_t>(bounds.right) - r->right : 0;
    const int64_t dy = r->bottom > bounds.bottom ? static_cast<int64_t>(bounds.bottom) - r->bottom : 0;
    const int64_t left = std::max<int64_t>(r->left + dx, bounds.left);
    const int64_t top = std::max<int64_t>(r->top + dy, bounds.top);
    r->right = static_cast<decltype(r->right)>(r->right + (left - r->left));
    r->bottom = static_cast<decltype(r->bottom)>(r->bottom + (top - r->top));
    r->left = static_cast<decltype(r->left)>(left);
    r->top = static_cast<decltype(r->top)>(top);
}
