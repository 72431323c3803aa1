// The video choice of an action block: a movie, a videodisc segment or a live video for an
// object to play (VideoAction_win.cpp, over the source choice of VideoSources.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/ActionBlock.h"

// Non-zero when the choice ended with OK; chosen is the source taken, hadVideo whether the
// block held a movie or videodisc segment before.
int EditVideoAction(HWND window, ActionBlock* block, int* chosen, int* hadVideo, uint16_t objectId);
