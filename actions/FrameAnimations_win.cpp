// MINIMAL until frame animations are built: nothing plays, and a reference handed over is freed
// at once.
#include "actions/Animations.h"

int RunFrameAnimQueue(HWND, HRGN) { return 0; }
void StopFrameAnimations() {}

int StartFrameAnimation(Handle reference, const Rect32&, uint16_t) {
    DisposeHandle(reference);
    return 0;
}

bool FrameAnimsDoneFor(uint16_t) { return true; }
