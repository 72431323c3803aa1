// The small title bar of the floating palette windows (tools, colours, patterns), drawn in the
// top of their client area, with a close box at its left (geometry in PaletteCaptionLayout.h).
#pragma once

#include <windows.h>

// The title bar's height: the system caption height / 3 + 4.
int PaletteCaptionHeight();

// Paints the title bar of the window, in the active colour when it or one of its children has
// the focus.
void DrawPaletteCaption(HWND window);
// Paints a title bar across a client area clientWidth wide on dc.
void DrawPaletteCaptionOn(HDC dc, int clientWidth, bool active);

// Whether a screen point (x in the low, y in the high 16 bits, signed) lies in the window's
// title bar; with inBox, only in its close box.
bool PtInPaletteCaption(HWND window, DWORD screenPoint, BOOL inBox);
