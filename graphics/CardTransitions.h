// Card transitions: a newly composed card (a bitmap) copied onto the card window step by step
// (CardTransitions_win.cpp).
#pragma once

#include <windows.h>

// Shows rect of bitmap on the window with transition 1..29 (anything else: a plain copy) at
// speed 8, 16 or 32. The bitmap is in window coordinates: its pixel (x, y) lands on the
// window's (x, y). With blend set every step also moves the palette blend along.
void RunTransition(int transition, int effectId, int speed, HWND window, const RECT& rect, HBITMAP bitmap,
                   int blend);
