// The eyedropper's drag over the card (tool 17): picking a colour from the screen.
#pragma once

#include <windows.h>

// MINIMAL until the floating colours palette has its eyedropper (Eyedropper_win.cpp): no drag
// starts, so none is tracked or ended.
void BeginEyedropperDrag(HWND window, int x, int y);
int TrackEyedropperDrag(HWND window, int x, int y);  // nonzero while a drag is tracked
void EndEyedropperDrag(HWND window);
