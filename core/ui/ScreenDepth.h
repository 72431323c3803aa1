// The working colour depth: the depth in which the open stack is edited. It starts as the
// display's depth and follows the stack's depth when a stack's settings are applied. 24 bits
// are always recorded as 32.
#pragma once

// 0 until recorded.
int GetScreenDepth();
void SetScreenDepth(int bitsPerPixel);
// Records the display's depth (ScreenDepth_win.cpp).
void InitScreenDepth();
// The depth as recorded: 24 becomes 32, others stay.
int RecordedDepth(int bitsPerPixel);
