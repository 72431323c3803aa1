// The stack's timer buttons: actions that run when their time on a card has come.
#pragma once

#include <windows.h>

#include <cstdint>

// Runs the timer buttons whose time has come; setting is the stack's timers word (browse only).
void TickTimerTable(HWND window, uint32_t setting);
void ClearTimerTable();
