// The geometry the selection and object editors share: the grid and snapping, the eight
// handles of a rectangle, arrow-key steps, and the dashes of marching frames. Platform-free.
#pragma once

#include <cstdint>

struct PaintRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const PaintRect&) const = default;
};

// The grid: spacing per axis (1 = none), shown or not, snapping on or off.
struct GridSettings {
    int spacingX = 8;
    int spacingY = 8;
    bool shown = false;
    bool snap = false;
};
GridSettings& Grid();

// Rounds to the grid when snapping is on, each axis only when its spacing is above 1.
void SnapPointToGrid(int* x, int* y);
// Snaps the corner or edges that the handle (1..9) moves, when snapping is on.
void SnapHandleToGrid(int handle, PaintRect* rect);

// Handles: 1 top-left, 2 top edge, 3 top-right, 4 right edge, 5 bottom-right, 6 bottom edge,
// 7 bottom-left, 8 left edge, 9 inside, 0 outside. Corners and edges are hit within 3 pixels.
inline constexpr int kHandleSlop = 3;
int HitTestHandle(const PaintRect& rect, int x, int y);
// Moves the corner or edge of the handle by the delta (9 moves the whole rectangle); the result
// keeps at least 1 pixel each way.
PaintRect ResizeRectByHandle(const PaintRect& rect, int handle, int dx, int dy);

// Arrow keys 37 to 40: nonzero with the step (the grid spacing when snapping, else 1; times 10
// with the flag) in the key's direction.
int ArrowKeyDelta(unsigned key, bool bigStep, int* dx, int* dy);

// The dash of a marching frame at pixel n along its outline for the phase (0..7): true where the
// dash is dark. Each step of the phase moves the dashes one pixel.
bool MarchingDashAt(int n, int phase);
