#include "tests/support/DisplayDepth_win.h"

#include <windows.h>

int DisplayBits() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return bits;
}

bool IndexedDisplay() { return DisplayBits() <= 8; }
