// Starting and advancing the built-in button cycle (actions/ButtonCycle.h), and its keys: Enter
// performs a button, so this lives beside the performer.
//
//   ButtonCycle_win.cpp   starting, advancing, the keys
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// Un-highlights the button of an earlier cycle, keeps the list and advances once.
void StartButtonCycle(HWND window, std::span<const uint8_t> list);
// The next listed button that is visible on the current card is highlighted; a hidden one is
// passed over, a missing one only moves the position; after one pass where every listed
// button is hidden, nothing is highlighted.
void AdvanceButtonCycle(HWND window);
// While the cycle runs: Tab advances, Enter performs the highlighted button (not as a click).
// 1 when the key was the cycle's.
int ButtonCycleKey(HWND window, UINT message, WPARAM key);
