// The working colour depth from the display.
#include "core/ScreenDepth.h"

#include "core/DisplayUtils.h"

void InitScreenDepth() { SetScreenDepth(GetDisplayBitsPerPixel()); }
