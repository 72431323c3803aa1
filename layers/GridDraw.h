// The grid over the card: drawn by the card redraw, the window's paint and the live feedback of
// objects being moved, below all of them beside the grid's settings (PaintGeometry.h).
#pragma once

#include <windows.h>

// Over the rectangle when the grid is shown: a dotted line at every spacing of each axis whose
// spacing is above 1, scaled by the view's zoom. fromPaint: drawn for a paint message.
void DrawGrid(HDC dc, const RECT& rect, bool fromPaint = false);
