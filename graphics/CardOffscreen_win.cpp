// The card offscreen. MINIMAL: the bitmap slot only.
#include "graphics/CardOffscreen.h"

namespace {
HBITMAP g_offscreen = nullptr;
}

HBITMAP GetOffscreenBitmap() { return g_offscreen; }

void SetOffscreenBitmap(HBITMAP bitmap) { g_offscreen = bitmap; }

void GetOffscreenSize(int* width, int* height, int* depth) {
    BITMAP info = {};
    const bool known = g_offscreen && GetObjectA(g_offscreen, sizeof info, &info) == sizeof info &&
                       info.bmHeight > 2;
    if (width)
        *width = known ? info.bmWidth : 0;
    if (height)
        *height = known ? info.bmHeight - 2 : 0;
    if (depth)
        *depth = known ? info.bmPlanes * info.bmBitsPixel : 0;
}
