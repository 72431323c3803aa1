// The video choice of an action block: a movie or a videodisc segment for an object to play.
//
//   VideoAction_win.cpp   MINIMAL until the video sources are built: the choice is cancelled.
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/ActionBlock.h"

// Non-zero when the choice ended with OK; chosen is the source taken, hadVideo whether the
// block held a movie or videodisc segment before.
int EditVideoAction(HWND window, ActionBlock* block, int* chosen, int* hadVideo, uint16_t objectId);
