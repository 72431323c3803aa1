// The media library browser.
#pragma once

#include <windows.h>

// The media library window, null when it is not open.
HWND GetMediaLibWindow();
// True when a point in the client coordinates of a window lies over the library's file list:
// the object and selection tools ask it on mouse-up.
bool IsPointOverMediaLib(HWND window, POINT point);
