// The picture cropping dialog ("PCROP") and its entry points: a picture cut out by rectangle or
// lasso for a graphic object ('G'), an animation frame ('A'), a card picture ('C') or a
// background ('H'). What it gives goes into the graphic placement (objects/graphics).
//
//   PictureCrop_win.cpp   MINIMAL until the cropping dialog is built: every entry point cancels.
#pragma once

#include <windows.h>

#include <cstdint>

// Loads the picture and runs the dialog with a purpose; with crop clear and a path the picture
// is taken whole. The dialog's result (1 OK, 2 Cancel).
int OpenPictureCropDialog(HWND window, char purpose, const char* path, POINT point, bool crop);
// For an animation frame: true on OK with the cut-out picture, its mask (null for a rectangle),
// the crop kind ('R' or 'L') and the colour that fills outside the mask. The caller owns the
// bitmaps.
bool CropPictureForAnimation(HWND window, const char* path, HBITMAP* bitmapOut, HBITMAP* maskOut,
                             char* kindOut, COLORREF* colourOut);
// The whole picture and the crop rectangle; the dialog's result (1 OK).
int CropPictureFile(HWND window, const char* path, HBITMAP* bitmapOut, RECT* rectOut);
