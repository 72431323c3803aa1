// The animation world, frame animations and animation playback, as the host's tick, loops,
// card changes and the performer of actions drive them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// Steps the animation world once when one exists.
void StepAnimations();
// Steps the queue of playing frame animations within the clip region; nonzero while some remain.
int RunFrameAnimQueue(HWND window, HRGN clip);
void StopFrameAnimations();
void ReleaseAnimPlayback();

// True when the handle holds an animated-object record: its first four bytes, big-endian,
// are 'Sprt'.
bool IsSpriteHandle(Handle record);
// Plays the animated-object record for the owner; the handle becomes the player's (freed
// here when nothing plays it). 1 when it started.
int PlayAnimRecord(Handle record, uint16_t objectId);
// Queues the 34-byte frame-animation reference with its rectangle for the owner; the handle
// becomes the queue's (freed here when nothing is queued). 1 when it started.
int StartFrameAnimation(Handle reference, const Rect32& rect, uint16_t objectId);
// True when no frame animation, and no animated object, of the owner is playing.
bool FrameAnimsDoneFor(uint16_t objectId);
bool AnimatedObjectsDoneFor(uint16_t objectId);
