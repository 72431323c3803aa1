// What the navigation and shortcuts palettes share: their place beside the card window, and
// bringing an open one up.
//
//   PalettePlace.cpp         platform-free: the place pulled onto the screen
//   PaletteWindows_win.cpp   placing, remembering and raising the palettes
#pragma once

// A palette's place: a position never set (x of -1) takes the default; then it is pulled inside
// a screen of that size (left and top edges win when the palette is larger than the screen).
struct PalettePlace {
    int x = 0, y = 0;
};
PalettePlace ClampPaletteToScreen(PalettePlace place, int width, int height, int screenWidth, int screenHeight);

#ifdef _WIN32
#include <windows.h>

// Moves the palette to its place, first beside the card window (left of it, or right), pulled
// onto the screen, and shows it; the place is updated.
void PlacePaletteWindow(HWND dialog, PalettePlace* place, bool rightOfCard);
// WM_MOVE of dialog: when it is the palette shown (not one made but never opened), its top left
// becomes the place.
void RememberPalettePlace(HWND dialog, HWND shown, PalettePlace* place);
// An open palette (open) is brought up and focused; otherwise the template is made modelessly
// over the card window and listed with the modeless dialogs. The new window, else null.
HWND ShowPalette(HWND open, int templateId, DLGPROC proc);
// After a palette's choice the card window has the focus again.
void FocusCardWindow();
#endif
