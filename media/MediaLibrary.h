// The media library browser.
#pragma once

#include <windows.h>

// The media library window, null when it is not open.
HWND GetMediaLibWindow();
