// Performing a button's actions.
#pragma once

#include <windows.h>

#include <cstdint>

// The download queue is told first (an action waiting for a file runs again when it arrives); then the button (the current card's,
// else any card's) is found by id, its name kept as the last button's and its actions performed
// with it as the label, without the wait. The performer's result (non-zero when the record was
// changed); 0 when there is no such button.
int DoButtonActions(HWND cardWindow, uint16_t buttonId, uint32_t byClick);

// The name of the button performed last, length-prefixed (at most 31 characters, 32 bytes).
const uint8_t* LastButtonName();
