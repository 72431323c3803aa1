// The card offscreen read into a DIB.
#include "graphics/pixels/OffscreenDib.h"

#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"

DibHandle OffscreenToDib() {
    HBITMAP offscreen = GetOffscreenBitmap();
    return offscreen ? DibFromDeviceBitmap(offscreen, 0, GetAppPalette()) : 0;
}
