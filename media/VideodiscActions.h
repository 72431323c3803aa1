// Stored videodisc actions: what a videodisc chunk (tag 119) asks of the player when its owner's
// actions run.
//
//   VideodiscActions_win.cpp   MINIMAL until the videodisc players are built: the action is
//                              counted and nothing is played.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

void DoVideodiscAction(HWND window, std::span<const uint8_t> chunk);
// How many videodisc actions were asked for since the program started (for tests).
int VideodiscActionsAsked();
