// Performing a button's actions.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/events/ActionOrigin.h"

// The button (the current card's, else any card's) is found by id, its name kept as the last
// button's and its actions performed with it as the label, without the wait; while they run, a
// file an action asks for is for that action of this button (DownloadReplay.h). The performer's
// result (non-zero when the record was changed); 0 when there is no such button.
int DoButtonActions(HWND cardWindow, uint16_t buttonId, ActionOrigin origin);
// The one action of the button (found in the card record of cardId first) whose file has
// arrived: that action alone, without its move (which ran already).
int ReplayButtonAction(HWND cardWindow, uint16_t buttonId, uint16_t cardId, uint16_t action, ActionOrigin origin);

// The name of the button performed last, length-prefixed (at most 31 characters, 32 bytes).
const uint8_t* LastButtonName();
