// The card window's periodic tick (timer 1, every 55 ms) and its other timers
// (PeriodicTick_win.cpp).
#pragma once

#include <windows.h>

// Timer 1: PeriodicTick; timer 69: the animated cursor step; other ids are not handled (false).
bool OnCardTimer(HWND window, UINT_PTR timerId, LPARAM lParam);
// One tick: the moving marquees every fifth tick, the frame animations and timer buttons in
// browse mode, the idle event to the stack's modules.
void PeriodicTick(HWND window);
