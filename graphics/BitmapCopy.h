// Copies of parts of device bitmaps.
#pragma once

#include <windows.h>

// A new bitmap of the rectangle's size holding that part of the bitmap: one bit per pixel when
// the source is a one-bit bitmap, else compatible with the card window. Null on failure.
HBITMAP CutOutBitmap(HBITMAP bitmap, const RECT& rect);
// A new bitmap holding a copy of the whole bitmap; null for null or on failure.
HBITMAP DuplicateBitmap(HBITMAP bitmap);
