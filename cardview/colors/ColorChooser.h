// The colour dialogs: the colour chooser "CPICK" on one entry of the application palette
// (a hue/saturation wheel, a brightness slider and six number fields), the text colour dialog
// "CTCOLOR", the erase dialog "ERASE" and the eraser colour dialog "ECOLOR"; the colour index
// the erase dialogs share, the eraser's size and the new stack's card-size question.
//
//   ColorChooserMath.cpp          the conversions, arrows and wheel geometry (ColorChooserMath.h)
//   ColorChooser_win.cpp          EditPaletteEntry: the chooser palette and storing the result
//   ColorChooserDialog_win.cpp    the "CPICK" dialog procedure
//   ColorChooserGrids_win.cpp     "CTCOLOR", "ERASE", "ECOLOR", erasing the card, the size question
//   ColorChooserStored.cpp        the stored colour index and the eraser size (ColorChooserStored.h)
//   ColorChooserUpcalls.cpp       what they ask of the host above (ColorChooserUpcalls.h)
//   MoreColorsDialog_win.cpp      "MCOLORS" and the 8 x 8 colour popups that lead to it
#pragma once

#include <windows.h>

#include <cstdint>

#include "cardview/colors/ColorChooserMath.h"
#include "cardview/colors/ColorChooserStored.h"

// For advanced users: "CPICK" on that entry; 1 when the entry was changed (OK), else 0.
int EditPaletteEntry(int index);

// ---- MoreColorsDialog_win.cpp ----
// The "MCOLORS" dialog, for advanced users and never twice at once: the 16 x 16 grid with the
// index selected. On OK the index's cell in the order table and the index become the selection,
// the patterns are remade, and the result is 1; otherwise 0.
int OpenMoreColorsDialog(HWND dialog, uint16_t* index);
// MoveColorGridSelection for an 8 x 8 grid, the point packed as in a mouse message; with openMore
// the "MCOLORS" dialog follows, and when it chose a colour the dialog is repainted.
int TrackColorPopup(HWND dialog, DWORD point, int itemId, uint16_t* index, BOOL openMore);

void OpenTextColorDialog(HWND parent);
void OpenEraseDialog(HWND parent);
void OpenEraserColorDialog(HWND parent);
// Fills the whole card picture with the stored colour (white when none); with ask, a group
// card asks first (alert 2282: ungroup and erase, erase all, or cancel).
void EraseCardBackground(int ask);

// 0 to keep the current card size; else the card size dialog's result (which may change the
// width, height and depth). Users who are not advanced always keep it.
int AskCardSizeForNewStack(HWND parent, int* width, int* height, int* depth);

// ---- ColorChooserDialog_win.cpp ----
// The chooser's state while "CPICK" runs (set up by EditPaletteEntry).
struct ChooserState {
    int index = 0;
    ChooserRgb original;
    ChooserRgb current;
    ChooserHsb hsb;
    int divisions = 12;
    HPALETTE palette = nullptr;
    HCURSOR cursor = nullptr;
    bool paletteSelected = false;
    bool dragging = false;
    bool markerShown = false;  // the wheel's inverted marker is drawn
};
// The "CPICK" dialog's procedure; its parameter is the ChooserState it works on.
INT_PTR CALLBACK ColorChooserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
