// A paint selection dropped off the card, saved as a .bmp file (ObjectFile_win.cpp).
#pragma once

#include <windows.h>

inline constexpr int kMediaCodeBitmap = 13804;

// A 24-bit bitmap file of the picture named "Pict" (numbered when taken) beside the stack, or
// in the media library when dropped there; a file that could not be written whole is deleted.
// 1 when written.
int SavePictureAsBmp(HBITMAP bitmap, HPALETTE palette, POINT drop);
