// The card offscreen read into a DIB (the offscreen itself: CardOffscreen.h).
#pragma once

#include "graphics/dib/Dib.h"

// OffscreenToDib: a new DIB of the whole offscreen bitmap at its own depth with the application
// palette, bottom row first; 0 while there is no offscreen or on failure.
DibHandle OffscreenToDib();
