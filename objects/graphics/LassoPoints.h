// The lasso point buffer: the points of a lasso or polygon selection, in a handle of 32-bit x, y
// pairs, with the bounds its points are held inside.
//
// MINIMAL: only what the mask code needs (graphics/Masks.h); the lasso tracking that fills the
// buffer comes with the selection tools.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// Sets the lasso bounds to width x height and starts an empty buffer of 1000 points (any
// previous one freed). Without memory there is no buffer and the other calls do nothing.
void LassoBeginPoints(int32_t width, int32_t height);
// Appends a point, growing the buffer by 1000 points when it is full.
void LassoAddPoint(int32_t x, int32_t y);
// Holds every point inside the bounds: below 0 becomes 0, past the width or height becomes it.
void LassoClampPoints();
void LassoFreePoints();
// The buffer and its count (both 0 without a buffer); the points may be changed in place.
void LassoGetPoints(Handle* points, int32_t* count);
// The rectangle holding every point's pixel (right and bottom exclusive); empty without points.
void LassoPointsBounds(Rect32* bounds);
