// What the card window asks of the actions dialog at shut-down. Placing a new button is
// stack/edit/NewButtons.h.
//
//   ActionServices_win.cpp   MINIMAL until the actions dialog comes: no edit copy is held.
#pragma once

#include <windows.h>

#include <cstdint>

void FreeButtonEditCopy();
