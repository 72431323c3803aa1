// Performing a button's actions.
#pragma once

#include <windows.h>

#include <cstdint>

// Finds the button by id on the current card and performs its actions with the argument.
int DoButtonActions(HWND cardWindow, uint16_t buttonId, uint32_t argument);
