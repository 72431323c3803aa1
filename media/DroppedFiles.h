// Files dropped from the shell on the card window.
#pragma once

#include <windows.h>

// Switches the window's acceptance of dropped files on or off.
void SetAcceptDroppedFiles(HWND window, bool accept);
