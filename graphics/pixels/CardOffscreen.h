// The card offscreen: the card-sized bitmap in which the card is composed (card width by card
// height plus 2 rows), the one shared memory DC through which everything draws into it, the
// card clip region and the one-bit layer mask (CardOffscreen_win.cpp). The layer records are in
// ObjectLayer.h, the list in LayerList.h.
#pragma once

#include <windows.h>

#include "core/system/PluginModule.h"  // GetCardWindow, the window given to InitDataBase

// White in the selected palette (a palette-relative colour): the card's empty colour.
inline constexpr COLORREF kPaletteWhite = 0x02FFFFFF;

// (Re)makes the offscreen for the card window, filled white. 1, or 0 (with a message when
// report is set) when no DC or bitmap could be made.
int InitDataBase(HWND window, int width, int height, int depth, bool report);

// The offscreen bitmap; null until one is made or set.
HBITMAP GetOffscreenBitmap();
// Stores another bitmap as the offscreen; the previous one is the caller's to delete.
void SetOffscreenBitmap(HBITMAP bitmap);
// The card size (the bitmap without its 2 spare rows) and depth; 0 in each for no offscreen.
// Any out-parameter may be null.
void GetOffscreenSize(int* width, int* height, int* depth);
void ClampRectToOffscreen(RECT* rect);

// The shared memory DC with the offscreen (and the picture or application palette) selected;
// null without an offscreen. Acquires nest: each is paired with one release, and the last
// release deletes the DC. Never delete it yourself.
HDC AcquireOffscreenDC(HDC reference);
void ReleaseOffscreenDC(HDC dc);

// The clip region, in card-window coordinates: the part no layer covers.
HRGN GetCardClipRegion();
void SetCardClipRegion(HRGN region);  // the previous one is deleted
void DeleteCardClipRegion();
// Black where a layer's shape lies, white elsewhere; null when none.
HBITMAP GetLayerMaskBitmap();
void SetLayerMaskBitmap(HBITMAP mask);  // the previous one is deleted

// Shut-down: the bitmap, the clip region and the mask.
void FreeOffscreenObjects();
