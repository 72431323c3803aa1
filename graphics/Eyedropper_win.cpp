// MINIMAL eyedropper drag (see Eyedropper.h).
#include "graphics/Eyedropper.h"

void BeginEyedropperDrag(HWND, int, int) {}
int TrackEyedropperDrag(HWND, int, int) { return 0; }
void EndEyedropperDrag(HWND) {}
