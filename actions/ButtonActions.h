// Performing a button's actions.
#pragma once

#include <windows.h>

#include <cstdint>

// Finds the button by id on the current card and performs its actions with the argument.
int DoButtonActions(HWND cardWindow, uint16_t buttonId, uint32_t argument);

// Told before a button's actions run (button id, argument): the download layer keeps them so
// that an action waiting for a file can run again once the file has arrived.
using ButtonActionsStartHook = void (*)(uint16_t buttonId, uint32_t argument);
void SetButtonActionsStartHook(ButtonActionsStartHook hook);
