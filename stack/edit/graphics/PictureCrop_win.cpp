// MINIMAL until the cropping dialog is built: every entry point cancels.
#include "stack/edit/graphics/PictureCrop.h"

int OpenPictureCropDialog(HWND, char, const char*, POINT, bool) { return 2; }

bool CropPictureForAnimation(HWND, const char*, HBITMAP* bitmapOut, HBITMAP* maskOut, char* kindOut,
                             COLORREF* colourOut) {
    if (bitmapOut) *bitmapOut = nullptr;
    if (maskOut) *maskOut = nullptr;
    if (kindOut) *kindOut = 'R';
    if (colourOut) *colourOut = RGB(255, 255, 255);
    return false;
}

int CropPictureFile(HWND, const char*, HBITMAP* bitmapOut, RECT* rectOut) {
    if (bitmapOut) *bitmapOut = nullptr;
    if (rectOut) SetRectEmpty(rectOut);
    return 2;
}
