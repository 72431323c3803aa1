// The application palette: the one 256-entry GDI palette through which everything is drawn on
// displays of 8 bits or less, its 16 fill patterns, the rules that turn palette indexes into
// drawable colours, the colour grid that shows it and the "MCOLORS" dialog that edits the grid.
// It is built when the card window attaches (InitAppPalette); until then, and in tests that do
// not build one, there is none and the bitmap code draws without it.
//
//   DefaultPalette.cpp          the 236 default colours ("DEFPAL"), where the system colours go,
//                               15-bit snapping (DefaultPalette.h)
//   AppPalette_win.cpp          building, realizing, duplicating and freeing the palette
//   PaletteRgbTables.cpp        the start and target tables of palette blends
//   FillPatterns_win.cpp        the 16 fill-pattern bitmaps
//   CurrentColors.cpp           the tools' current colours and the custom colour (CurrentColors.h)
//   CurrentColors_win.cpp       palette indexes to drawable colours and back
//   ColorGrid.cpp               the grid's order table and geometry (ColorGrid.h)
//   ColorGrid_win.cpp           drawing and tracking the grid
//   MoreColorsDialog_win.cpp    the "MCOLORS" dialog
//   NearestColor.cpp            nearest-colour matching of pictures (NearestColor.h)
//   DefaultPaletteCard_win.cpp  the card on display back to the default palette
//   OffscreenDib_win.cpp        the card offscreen as a DIB (OffscreenDib.h)
//   ColorChooser_win.cpp        the colour chooser on one palette entry (ColorChooser.h)
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/palette/ColorGrid.h"
#include "graphics/palette/CurrentColors.h"

HPALETTE GetAppPalette();
// Installs the palette (or none). The caller keeps ownership, except that shut-down
// (FreePaletteObjects) deletes the palette installed then.
void SetAppPalette(HPALETTE palette);

// The current picture palette: the palette of the card picture on display, consulted before
// the application palette where it exists (none until a card is drawn). The caller keeps
// ownership.
HPALETTE GetPicturePalette();
void SetPicturePalette(HPALETTE palette);

// ---- AppPalette_win.cpp ----
// Start-up: builds the palette (LoadDefaultLogPalette), fills both blend tables, realizes it
// once in the window's DC, and loads the fill patterns. Without a palette a message box says
// so and start-up goes on. Whatever an earlier start-up built is freed first.
void InitAppPalette(HWND window);
// A movable global block holding a 256-entry LOGPALETTE: entries 0..235 from "DEFPAL"
// (PC_RESERVED), 236..255 the system's static colours, all snapped to what a 16-bit display
// shows. Null when the resource or the memory is missing. The caller frees it.
HGLOBAL LoadDefaultLogPalette();
// Entries 236..255 of a 256-entry table become the system palette's entries 255..246 and 9..0
// (as read from the card window's DC), flags 0.
void CopySystemColorsToPalette(PALETTEENTRY* entries);
// On a 16-bit display each entry's colour becomes the one the display shows for it after
// QuantizeColorTo15Bit; flags are kept. Other displays: nothing.
void SnapColorsToDisplay(int count, PALETTEENTRY* entries);
// A new palette of the same entries (as many as GetPaletteEntries gives), flags cleared; null
// for none.
HPALETTE DuplicatePalette(HPALETTE palette);
// Shut-down: deletes the palette and the fill patterns.
void FreePaletteObjects();
// The floating colours window; null while there is none.
HWND GetFcolorsWindow();
// Pixels from the frame window's left edge to its menu-bar item of colours ('C') or of tools
// (any other letter); 0 without a frame window or menu, as in the plug-in.
int GetMenuItemLeftOffset(char letter);

// ---- FillPatterns_win.cpp ----
inline constexpr int kFillPatternCount = 16;
// (Re)makes the 16 pattern bitmaps, compatible with the window's DC, from "FILLPAT1".."FILLPAT16"
// mapped to the application palette. A missing or damaged resource leaves its pattern empty.
void LoadFillPatterns(HWND window);
// LoadFillPatterns for the card window, then the floating colours window is repainted.
void ReloadFillPatterns();
// Pattern k (1..16); null when empty or out of range.
HBITMAP GetFillPattern(int pattern);
void FreeFillPatterns();

// ---- CurrentColors_win.cpp ----
// A palette index as a colour to draw with: on displays deeper than 8 bits 257 is the custom
// colour (plain RGB); any other index is the entry of the current picture palette (else the
// application palette) as a PALETTERGB value, black when neither has it.
COLORREF PaletteIndexToColor(int index);
// The same without the custom colour.
COLORREF PaletteIndexToColorPlain(int index);
// The first palette index of the grid's order table whose entry equals the colour exactly,
// else the nearest entry; 0 without a palette.
uint16_t FindPaletteIndexOfColor(HPALETTE palette, COLORREF rgb);
// Text and fill become the application palette's nearest index to black, the eraser the
// nearest to white, once (nothing while there is no palette).
void CacheBlackWhiteIndices();

// ---- ColorGrid_win.cpp ----
enum ColorGridMode {
    kGridDraw = 0,     // every cell filled with its colour, outlined white
    kGridFrame = 1,    // the cells of the index framed by inverting (a second frame removes it)
    kGridHitTest = 2,  // the palette index of the cell under (x, y), or kNoGridCell
};
// The grid of rows x columns cells over the rectangle (below the palette caption when asked);
// see ColorGrid.h for the geometry. Drawing modes return the index.
int ColorGridOp(HWND window, int left, int top, int right, int bottom, int mode, int x, int y, int rows,
                int columns, int index, BOOL caption);
int ColorGridOpOn(HDC dc, int left, int top, int right, int bottom, int mode, int x, int y, int rows,
                  int columns, int index, BOOL caption);
// ColorGridOp over the window's client rectangle, no caption.
int DrawColorGrid(HWND window, int mode, int x, int y, int rows, int columns, int index);
// An owner-drawn grid item painted into the DC it was given: every cell, then the index framed.
void DrawColorGridItem(HWND item, HDC dc, int rows, int columns, int index);
// A click at (x, y) of the dialog's client area strictly inside the grid item: the frame moves
// from the old index to the cell under the point, whose palette index is stored. 1 when the
// point was inside.
int MoveColorGridSelection(HWND dialog, int x, int y, int itemId, int rows, int columns, uint16_t* index);
// The same for an 8 x 8 grid, the point packed as in a mouse message; with openMore the
// "MCOLORS" dialog follows, and when it chose a colour the dialog is repainted.
int TrackColorPopup(HWND dialog, DWORD point, int itemId, uint16_t* index, BOOL openMore);

// ---- MoreColorsDialog_win.cpp ----
// The "MCOLORS" dialog, for advanced users and never twice at once: the 16 x 16 grid with the
// index selected. On OK the index's cell in the order table and the index become the selection,
// the patterns are remade, and the result is 1; otherwise 0.
int OpenMoreColorsDialog(HWND dialog, uint16_t* index);

// ---- DefaultPaletteCard_win.cpp ----
// Resets the card on display to the default palette: the application palette takes the default
// entries (except on 8-bit displays), is stored with the card's picture, and with
// convertPixels an 8-bit stack on a deeper display has its offscreen matched to it, the card's
// colours are re-mapped and the card drawn again.
void ConvertCardToDefaultPalette(HWND window, BOOL convertPixels);

// The palette selected and realised in the window's DC, then the previous one selected back; a
// window whose entries changed is invalidated. False when the palette could not be selected.
bool RealizePaletteAndRepaint(HWND window, HPALETTE palette);
// On an 8-bit display only: the palette realised with the window's colours updated, then
// repainted when entries changed. False on deeper displays or when it could not be selected.
bool RealizeAppPalette(HWND window, HPALETTE palette);
