// MINIMAL until animations are built: there is no animation world and no frame animation plays.
#include "actions/Animations.h"

void StepAnimations() {}
int RunFrameAnimQueue(HWND, HRGN) { return 0; }
void StopFrameAnimations() {}
void ReleaseAnimPlayback() {}
