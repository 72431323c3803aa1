// Placing windows: centring on the screen or over the parent, and screen rectangles (a dialog
// item's among them) in a window's client coordinates.
#pragma once

#include <windows.h>

// Moves the window to the middle of the screen, size kept, and repaints it.
void CenterWindowOnScreen(HWND window);
// Centres the window over its parent's (for a pop-up, its owner's) window rectangle, moved
// as little as it takes to lie inside the monitor's work area; size and z-order kept. A window
// without a parent is centred over the desktop.
void CenterWindowOnParent(HWND window);
// Converts both corners of a screen rectangle to the window's client coordinates, in place.
void ScreenRectToClient(HWND window, RECT* rect);
// The rectangle of the dialog's item id in the dialog's client coordinates (empty when there is
// no such item).
RECT DialogItemRect(HWND dialog, int id);

// The black line a window without a dialog frame draws along its top edge (over its menu bar
// when it has one).
void DrawWindowEdge(HWND window);
