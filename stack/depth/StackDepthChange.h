// The size and depth change of the whole stack (StackDepth_win.cpp).
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

// header: the open header; newValues: a 128-byte header image with the wanted width (+56),
// height (+58) and depth (+16). 0 when done, refused or unchanged; 48 when a handle cannot be
// had. Only depth, width and height of newValues reach the header.
int ChangeStackSizeAndDepth(HWND cardWindow, Handle header, Handle newValues);
