// The working colour depth from the display.
#include "core/ui/ScreenDepth.h"

#include "core/ui/DisplayUtils.h"

void InitScreenDepth() { SetScreenDepth(GetDisplayBitsPerPixel()); }
