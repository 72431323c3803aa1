// The card offscreen: the card-sized bitmap in which the card is composed (card width by card
// height plus 2 rows).
//
// MINIMAL: only the bitmap's accessors and its size; the offscreen's making, its shared drawing
// context and the layer list come with the card redraw.
#pragma once

#include <windows.h>

// The offscreen bitmap; null until one is set.
HBITMAP GetOffscreenBitmap();
// Stores another bitmap as the offscreen; the previous one is the caller's to delete.
void SetOffscreenBitmap(HBITMAP bitmap);
// The card size (the bitmap without its 2 spare rows) and the bitmap's depth; 0 in each for no
// offscreen. Any out-parameter may be null.
void GetOffscreenSize(int* width, int* height, int* depth);
