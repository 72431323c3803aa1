// Performing the timer buttons whose time has come (TimerFiring_win.cpp); the table and its
// count are actions/TimerButtons.h.
#pragma once

#include <windows.h>

#include <cstdint>

// With the stack's timers on and the browse tool: each due entry of the table in table order,
// reloaded or freed first, then performed (a button's actions, or an 'Actn' resource without
// the wait), not by a click. A performance that changes the card ends the pass: the table is
// the new card's then. Actions that pump messages start no timers of their own meanwhile.
void FireDueTimers(HWND window, uint32_t timersOn);
