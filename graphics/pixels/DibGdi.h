// GDI bitmaps to and from DibHandles (Dib_win.cpp), and whole-bitmap copies. CutOutBitmap, the
// copy of a rectangle of a bitmap, is in BitmapCopy.h.
#pragma once

#include <windows.h>

#include "graphics/dib/Dib.h"
#include "graphics/pixels/BitmapCopy.h"

// GetDIBits of the whole bitmap into a new DibHandle (bottom row first) of exactly header,
// table and rows. Depth 0 or above 32 takes the bitmap's own (planes x bits per pixel).
// Without a palette the application palette is used on displays of 8 bits or less. 0 when
// the depth is not a DIB depth or GetDIBits fails.
DibHandle GetBitmapDibBits(HDC dc, HBITMAP bitmap, int depth, HPALETTE palette);
// The same on the card window's device context.
DibHandle DibFromDeviceBitmap(HBITMAP bitmap, int depth, HPALETTE palette);

// A packed DIB of the bitmap at its own depth in a plain global block (not a handle), for the
// clipboard and for scaling; null on failure.
HGLOBAL BitmapToPackedDib(HBITMAP bitmap);

// Maps the pixels of a 4- or 8-bit DIB to the palette (nearest entries) and makes the palette's
// entries its colour table. Other depths are left untouched (false).
bool DibSetPaletteFrom(DibHandle dib, HPALETTE palette);
// The palette's entries into the colour table: 256 for an 8-bit DIB, as many as the table holds
// for a smaller one. The entries written, or -1.
int DibSetPaletteFromMap(DibHandle dib, HPALETTE palette);

// Copies (right - left) x (bottom - top) pixels of the bitmap from (sourceX, sourceY) to
// (left, top) of the DC, with the application palette. Nothing for an empty rectangle.
void ImageRectToDC(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom, int sourceX, int sourceY);
// The same with the source origin at (left, top).
void BlitImageRect(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);
