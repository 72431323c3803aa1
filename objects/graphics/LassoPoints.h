// The lasso point buffer: the points of a lasso or polygon selection, in a handle of 32-bit x, y
// pairs, with the bounds its points are held inside; and the tracking of a lasso drawn with the
// mouse, which fills it. The paint lasso, the cropping dialog and the path editor share it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// Sets the lasso bounds to width x height and starts an empty buffer of 1000 points (any
// previous one freed). Without memory there is no buffer and the other calls do nothing.
void LassoBeginPoints(int32_t width, int32_t height);
// Appends a point, growing the buffer by 1000 points when it is full; a point that finds no
// room is not stored.
void LassoAddPoint(int32_t x, int32_t y);
// New bounds for the points already buffered (LassoClampPoints then holds them inside).
void LassoSetBounds(int32_t width, int32_t height);
// Holds every point inside the bounds: below 1 becomes 0, at or past the width or height
// becomes it.
void LassoClampPoints();
void LassoFreePoints();
// The buffer and its count (both 0 without a buffer); the points may be changed in place.
void LassoGetPoints(Handle* points, int32_t* count);
// The rectangle holding every point's pixel (right and bottom exclusive); empty without points.
void LassoPointsBounds(Rect32* bounds);

// ---- Tracking a lasso on a drawing context (its own coordinates) ----
// A new buffer (bounds maxX by maxY) with the first point.
void LassoTrackBegin(int32_t maxX, int32_t maxY, int x, int y);
// An inverted line from the last point to this one, which is added.
void LassoTrackMove(HDC dc, int x, int y);
// The last line drawn and the point added, then the whole polyline inverted away and the
// points clamped. False when there is no buffer.
bool LassoTrackEnd(HDC dc, int x, int y);
// The polyline of the buffered points drawn inverted (R2_NOT) from the first point; drawing it
// twice leaves the context as it was.
void DrawLassoPolyline(HDC dc, POINT offset);
// The same on the window, its points in the window's client coordinates.
void DrawLassoOutline(HWND window);
