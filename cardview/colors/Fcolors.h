// The floating colours palette's services below the window itself (which is the host's,
// host/palettes/FcolorsWindow.h): swatches of the current colours, bitmaps filled with a colour
// or pattern, the system palette copy and comparison, the picked colour, and the palette
// window's handle.
//
//   FcolorsBitmaps_win.cpp   NewFilledBitmapDC, CreateSystemPaletteCopy, PicturePaletteMatchesSystem
//   FcolorsLayout.cpp        the window's geometry and the colour-menu numbers (FcolorsLayout.h)
//   Eyedropper_win.cpp       picking from the card (Eyedropper.h) and the picked colour
#pragma once

#include <windows.h>

#include <cstdint>

// Sets the eraser ('e'), text ('t') or fill colour (any other letter) and redraws that panel's
// swatch when the palette window exists.
void RedrawDialogColorSwatch(char letter, int16_t value);

// A memory DC compatible with the reference (application palette selected on indexed displays)
// holding a new bitmap of the rectangle's size filled with the colour value, patterns tiled on
// the card's grid of pattern-sized cells. 1, or 0 with both outputs null; the caller deletes both.
int NewFilledBitmapDC(HDC reference, int colorValue, const RECT& rect, HDC* dc, HBITMAP* bitmap);
// A new 256-entry palette copied from the system palette of the window's DC; null on failure.
HPALETTE CreateSystemPaletteCopy(HWND window);
// On an 8-bit display: whether the palette's first 4 entries equal the system palette's (flags
// ignored). True on every other display.
bool PicturePaletteMatchesSystem(HDC dc, HPALETTE palette);

// The replace-colours dialog's source colour: a palette index and, for index 257 on a display
// deeper than 8 bits, the colour value.
void SetPickedColor(uint16_t index, COLORREF color);
uint16_t GetPickedColorIndex();
COLORREF GetPickedColorValue();
