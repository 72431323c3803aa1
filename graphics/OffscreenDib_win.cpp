// The card offscreen read into a DIB.
#include "graphics/OffscreenDib.h"

#include "graphics/AppPalette.h"
#include "graphics/CardOffscreen.h"
#include "graphics/DibGdi.h"

DibHandle OffscreenToDib() {
    HBITMAP offscreen = GetOffscreenBitmap();
    return offscreen ? DibFromDeviceBitmap(offscreen, 0, GetAppPalette()) : 0;
}
