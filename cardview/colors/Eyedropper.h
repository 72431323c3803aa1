// The eyedropper (tool 17): a drag over the card picks the colour under the pointer into the
// fill colour. Points outside the card offscreen are ignored.
#pragma once

#include <windows.h>

// Starts the drag: the mouse is captured to the window and (x, y) picked (card coordinates).
void BeginEyedropperDrag(HWND window, int x, int y);
// Picks at the point while a drag is on; nonzero while a drag is tracked.
int TrackEyedropperDrag(HWND window, int x, int y);
// Releases the capture and ends the drag when one is on.
void EndEyedropperDrag(HWND window);
// One pick: the fill colour becomes the offscreen's pixel at (x, y) (nearest palette index on
// an 8-bit display, else 257 with the pixel as the custom colour), which is also kept as the
// replace-colours source. False when the point lies outside the offscreen.
bool PickColorAt(int x, int y);
