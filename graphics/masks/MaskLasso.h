// How the mask code reaches the lasso point buffer. The buffer belongs to the card objects layer
// (objects/graphics/LassoPoints.h), above this one; host/wiring/WireGraphics_win.cpp fills LassoPointAccess
// with its operations. Until then there is no buffer and no point.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

struct LassoPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const LassoPoint&, const LassoPoint&) = default;
};

// The bytes of one point in the buffer.
inline constexpr uint32_t kPointBytes = 8;

struct LassoPointAccess {
    // Holds every point inside the lasso bounds.
    void (*clampPoints)();
    // The buffer (count pairs of 32-bit x, y in host order) and its count; 0 and 0 without one.
    void (*getPoints)(Handle* points, int32_t* count);
};
void SetLassoPointAccess(const LassoPointAccess& access);

// The first count points of a buffer, as many as it holds.
std::vector<LassoPoint> LassoPointsIn(Handle buffer, int32_t count);
// The buffered points, clamped first; empty without a buffer. A count the buffer cannot hold
// is cut to what it holds.
std::vector<LassoPoint> ClampedLassoPoints();
// The smallest rectangle holding every point's pixel (right and bottom exclusive); all 0 for
// no points.
Rect32 LassoPointsBoundsOf(std::span<const LassoPoint> points);
// Writes the points back over the buffer's first points (as many as both hold).
void StoreLassoPoints(const std::vector<LassoPoint>& points);
