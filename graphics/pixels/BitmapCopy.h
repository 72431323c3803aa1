// Copies of parts of device bitmaps, plain and through a one-bit mask.
#pragma once

#include <windows.h>

// D AND NOT S: clears the destination where a one-bit source is white.
inline constexpr DWORD kRopAndNotSource = 0x00220326;

// A new bitmap of the rectangle's size holding that part of the bitmap: one bit per pixel when
// the source is a one-bit bitmap, else compatible with the card window. Null on failure.
HBITMAP CutOutBitmap(HBITMAP bitmap, const RECT& rect);
// A new bitmap holding a copy of the whole bitmap; null for null or on failure.
HBITMAP DuplicateBitmap(HBITMAP bitmap);

// A bitmap compatible with the DC, two pixels wider and higher than the mask, holding the source
// DC's area at (x, y) of the mask's size where the mask is white and black elsewhere (the two
// spare columns and rows black too). Null, after the out-of-memory error box, without a DC or
// bitmap.
HBITMAP CopyBitmapPadded(HDC dc, HDC sourceDc, int x, int y, HBITMAP mask);
// Draws the image through the mask at (x, y) of the DC: the image where the mask is white, the
// DC's pixels elsewhere. The image must be black where the mask is black.
void DrawBitmapMasked(HDC dc, HBITMAP image, HBITMAP mask, int x, int y);
