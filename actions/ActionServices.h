// What the card window asks of the actions dialog at shut-down. Placing a new button is
// authoring/buttons/Buttons.h.
#pragma once

#include <windows.h>

#include <cstdint>

// The button edit copy freed (ActionsDialog_win.cpp).
void FreeButtonEditCopy();
