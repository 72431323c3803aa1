// The animation world, frame animations and animation playback, as the host's tick, loops and
// card changes drive them.
#pragma once

#include <windows.h>

// Steps the animation world once when one exists.
void StepAnimations();
// Steps the queue of playing frame animations within the clip region; nonzero while some remain.
int RunFrameAnimQueue(HWND window, HRGN clip);
void StopFrameAnimations();
void ReleaseAnimPlayback();
