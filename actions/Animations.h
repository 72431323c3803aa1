// Frame animations, as the host's tick, loops, card changes and the performer of actions drive
// them (animated objects are media/animation/AnimPlayback.h).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// Steps the queue of playing frame animations within the clip region; nonzero while some remain.
int RunFrameAnimQueue(HWND window, HRGN clip);
void StopFrameAnimations();

// Queues the 34-byte frame-animation reference with its rectangle for the owner; the handle
// becomes the queue's (freed here when nothing is queued). 1 when it started.
int StartFrameAnimation(Handle reference, const Rect32& rect, uint16_t objectId);
// True when no frame animation of the owner is playing.
bool FrameAnimsDoneFor(uint16_t objectId);
// True when no frame animation of any owner is playing.
bool AllFrameAnimsDone();
