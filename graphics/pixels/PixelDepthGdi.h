// Pixel depth conversions through the display (PixelDepth_win.cpp): requantizing and scaling
// DIBs, reducing a deep picture to 8 bits with its palette, and repacking card pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "graphics/dib/Dib.h"

// The DIB set into a bitmap compatible with the card window's DC (SetDIBits, DIB_RGB_COLORS)
// and read back at the display's depth without a palette (DibFromDeviceBitmap); rows keep
// their order. 0 on failure.
DibHandle RequantizeDibThroughDisplay(DibHandle dib);
// A packed DIB (its bytes, header first) stretched whole to width x height on a bitmap
// compatible with the card window's DC, read back at the display's depth (BitmapToPackedDib)
// into a new handle. 0 on failure.
Handle ScaleDibToHandle(std::span<const uint8_t> dib, int width, int height);

// A 16-, 24- or 32-bit DIB as the display shows it, made 8-bit by exact matching: its colour
// table comes from the picture record (DibApplyPalette), and each pixel takes the index of the
// entry the display shows in its colour (MatchPixelsToColorKeys). The layout follows the DIB's
// own depth. 0 for another depth or on failure.
DibHandle DibReduceTo8Bit(Handle pictureRecord, DibHandle deep);

// The card's picture at the card size: the picture's DIB at its own size (the record's width
// and height at 20 and 22, bottom row first) with its table from DibApplyPalette, each pixel of
// the result the index of the pixel it covers (not drawn through the display, which on a palette
// display would keep only the colours it has). An 8-bit DIB with the picture's table; 0 on
// failure. The window is not used.
DibHandle PackOffscreenPicture8Bit(HWND window, Handle picture, int depth);
// An 8-bit card picture re-made at the card size: the colour table for depth 8 and its palette,
// the card's colours mapped to it, PackOffscreenPicture8Bit, DibSetPaletteFrom that palette,
// packed and stored with the table. 0 when stored, 16 on failure (the record as it was).
int PackCardPicture8Bit(Handle picture, int depth);
// A 4-bit card picture re-made at a new depth and card size: the colour table for depth 8 and
// its palette, the picture widened to 8 bits at width x height (DibExpand4To8), taken through
// the display into the stack layout for a new depth above 8, packed and stored with the table.
// 0 when stored, 16 on failure (the record as it was; oldDepth other than 4 is refused).
int ConvertCardPictureFrom4Bit(Handle picture, int oldDepth, int newDepth, int width, int height);
