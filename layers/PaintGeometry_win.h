// The shared geometry of PaintGeometry.h on the window's side: rectangles both ways, the cursor
// of a handle, and a marching frame drawn pixel by pixel.
#pragma once

#include <windows.h>

#include "layers/PaintGeometry.h"

inline PaintRect PaintRectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline RECT RectOf(const PaintRect& r) { return {r.left, r.top, r.right, r.bottom}; }
// SnapHandleToGrid over a window rectangle.
inline RECT SnappedByHandle(const RECT& r, int handle) {
    PaintRect snapped = PaintRectOf(r);
    SnapHandleToGrid(handle, &snapped);
    return RectOf(snapped);
}
// With its corners swapped where needed so that left <= right and top <= bottom.
RECT NormalisedRect(RECT r);

// The sizing arrow of a handle (1 to 8); the arrow cursor for any other.
HCURSOR HandleCursor(int handle);

// The card in the card window's coordinates (the window may be larger: the rest is the page's),
// and a window device context clipped to it; at a zoom, and for any other window, the whole
// client area.
RECT CardBoundsInWindow(HWND window);
void ClipToCard(HWND window, HDC dc);
// The part of that card the window shows (the whole client area while no card is open).
RECT CardAreaInWindow(HWND window);
// A width by height rectangle centred on that card (its top-left corner kept on the card when
// it is the larger): where a new object is offered, however large the page around the card.
RECT CentredOnCard(HWND window, int width, int height);

// The dashes of the phase (0..7) clockwise from the top-left corner, the right and bottom
// edges on the last pixels inside the rectangle.
void DrawMarchingOutline(HDC dc, const RECT& r, int phase);
