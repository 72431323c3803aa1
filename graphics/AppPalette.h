// The application palette: the one GDI palette through which everything is drawn on displays
// of 8 bits or less. It is built when the card window starts up; until then (and in tests that
// do not set one) there is none and the bitmap code draws without it.
#pragma once

#include <windows.h>

HPALETTE GetAppPalette();
// Installs the palette (or none); the caller keeps ownership.
void SetAppPalette(HPALETTE palette);

// The current picture palette: the palette of the card picture on display, consulted before
// the application palette where it exists (none until a card is drawn). The caller keeps
// ownership.
HPALETTE GetPicturePalette();
void SetPicturePalette(HPALETTE palette);
