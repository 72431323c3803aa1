// The application palette: the one 256-entry GDI palette through which everything is drawn on
// displays of 8 bits or less, the rules that turn palette indexes into drawable colours and the
// colour grid that shows it. Its fill patterns are graphics/pixels/FillPatterns.h; the "MCOLORS"
// dialog that edits the grid and the colour popups are cardview/colors/ColorChooser.h.
// It is built when the card window attaches (InitAppPalette); until then, and in tests that do
// not build one, there is none and the bitmap code draws without it.
//
//   DefaultPalette.cpp          the 236 default colours ("DEFPAL"), where the system colours go,
//                               15-bit snapping (DefaultPalette.h)
//   AppPalette_win.cpp          building, realizing, duplicating and freeing the palette, the
//                               floating colours window's handle
//   PaletteRgbTables.cpp        the start and target tables of palette blends
//   PaletteBlend.cpp            palette blends (PaletteBlend.h)
//   PaletteRemap.cpp            card import's remap table (PaletteRemap.h)
//   CurrentColors.cpp           the tools' current colours and the custom colour (CurrentColors.h)
//   CurrentColors_win.cpp       palette indexes to drawable colours and back
//   ColorGrid.cpp               the grid's order table and geometry (ColorGrid.h)
//   ColorGrid_win.cpp           drawing and tracking the grid
//   NearestColor.cpp            nearest-colour matching of pictures (NearestColor.h)
#pragma once

#include <windows.h>

#include <array>
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
// Start-up: builds the palette (LoadDefaultLogPalette), fills both blend tables and realizes it
// once in the window's DC (the fill patterns are made after it: LoadFillPatterns). Without a
// palette a message box says so and start-up goes on. Whatever an earlier start-up built is
// freed first.
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
// A palette's entries as they were read: what was made with a palette is made again only when
// they differ (the fill patterns, the card's picture palette).
struct PaletteColours {
    std::array<PALETTEENTRY, 256> entries{};
    UINT count = 0;  // 0: no palette
};
PaletteColours PaletteEntries(HPALETTE palette);
// The same number of entries, each with the same colour and flags.
bool SameEntries(const PaletteColours& a, const PaletteColours& b);
// Shut-down: deletes the palettes (the fill patterns go before: FreeFillPatterns).
void FreePaletteObjects();
// The floating colours window, which shows the palette and the fill patterns and is repainted
// when they change; null while there is none. The host makes it (host/palettes) and names it here.
HWND GetFcolorsWindow();
void SetFcolorsWindow(HWND window);
// Pixels from the frame window's left edge to its menu-bar item of colours ('C') or of tools
// (any other letter); 0 without a frame window or menu, as in the plug-in.
int GetMenuItemLeftOffset(char letter);

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
// point was inside. (The 8 x 8 popups that may go on to More Colors: cardview/colors/ColorChooser.h.)
int MoveColorGridSelection(HWND dialog, int x, int y, int itemId, int rows, int columns, uint16_t* index);

// The palette selected and realised in the window's DC, then the previous one selected back; a
// window whose entries changed is invalidated. False when the palette could not be selected.
bool RealizePaletteAndRepaint(HWND window, HPALETTE palette);
// On an 8-bit display only: the palette realised with the window's colours updated, then
// repainted when entries changed. False on deeper displays or when it could not be selected.
bool RealizeAppPalette(HWND window, HPALETTE palette);
