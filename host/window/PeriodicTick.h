// The card window's periodic tick (timer 1, every 55 ms) and its other timers
// (PeriodicTick_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr UINT_PTR kPeriodicTimerId = 1;
inline constexpr UINT kPeriodicTimerMs = 55;
inline constexpr UINT_PTR kCursorTimerId = 69;

// Timer 1: PeriodicTick; timer 69: the animated cursor step; other ids are not handled (false).
bool OnCardTimer(HWND window, UINT_PTR timerId, LPARAM lParam);
// One tick: the moving marquees every fifth tick, the frame animations and timer buttons in
// browse mode, the idle event to the stack's modules, idle time for the movie controllers.
void PeriodicTick(HWND window);
// The tick counter (0 to 4; 0 on the ticks that move the marquees) and the setting the timer
// buttons were last given (1 at start; 0 after a tick outside browse mode).
uint32_t GetTickCounter();
uint32_t GetTimerButtonSetting();
