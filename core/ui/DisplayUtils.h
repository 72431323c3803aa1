// The display: its depth, palette selection on indexed displays, the system family, and the
// default font of the card window's device context.
#pragma once

#include <windows.h>

// Rich edit controls and printers measure in twips.
inline constexpr int kTwipsPerInch = 1440;

// Bits per pixel of the "DISPLAY" device, read once and kept for the run. When the device
// cannot be asked, kFallbackDisplayBits (and it is asked again next time).
inline constexpr int kFallbackDisplayBits = 24;
int GetDisplayBitsPerPixel();

// On an 8-bit display selects the palette into the context (in the background when asked),
// realizes it and returns the palette it replaced; on any other display returns the palette
// passed in and selects nothing. Restoring is the same call with the returned palette.
HPALETTE SelectPaletteIfIndexed(HDC dc, HPALETTE palette, BOOL forceBackground);
// The same for a given display depth (what SelectPaletteIfIndexed does on that display).
HPALETTE SelectPaletteForDisplayBits(int displayBitsPerPixel, HDC dc, HPALETTE palette, BOOL forceBackground);

// 1 on the Windows 95/98 family, 2 on NT 4, 0 on any other version.
int GetWindowsFamily();

// Start-up: the system's icon-title font is selected into the card window's device context and
// out again; the font it replaced is kept and GetStartupDcFont returns it (null before).
void InitStartupDcFont();
HFONT GetStartupDcFont();
