// Buttons (object kind 48), their icons and the cursors of objects.
//
//   Buttons_win.cpp        the stored ButtonRecord read into its ButtonLayer (font, icon, name)
//   ButtonDraw_win.cpp     icon and name placement, the hit region, drawing, footprint, highlight
//   ButtonPress_win.cpp    browse press, track and release; rollover buttons; the Enter key
//   ButtonIcons.cpp        (ButtonIcons.h) 'Icon' resources, the icon selection, storing a chosen icon or cursor
//   ButtonIcons_win.cpp    drawing icon images and footprints; the converters and cursor source
//                          this layer installs below it
// The 'Crsr' layout and icon-directory images are core/ui/CursorImages.h; the cursor cache is
// core/ui/CursorCache.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"
#include "objects/buttons/ButtonIcons.h"
#include "format/StackFile.h"

// The button record's layout and its shapes are the stack format's (format/StackFile.h).
// Shapes 0 to 3 are drawn clipped this far inside their left and right edges.
inline constexpr int kButtonClipInset = 2;

// ---- Buttons_win.cpp ----
// The font a button record names: its face, size and style, or the program's own font for 0.
void ReadButtonFont(std::span<const uint8_t> record, LOGFONTA* font);

// ---- ButtonDraw_win.cpp ----
// Where the icon and the name of a button go; the font must be selected into dc.
struct ButtonContent {
    int lineHeight = 0;
    bool icon = false, name = false;
    RECT iconRect = {};  // left, top and the icon's size
    POINT namePos = {};
    int nameWidth = 0;
};
ButtonContent MeasureButtonContent(HDC dc, const ButtonLayer* layer);
// The icon's top, width and height for a line height.
int GetButtonIconTop(const ButtonLayer* layer, int lineHeight, int* width, int* height);
HRGN MakeButtonRegion(HWND window, const ButtonLayer* layer);
void DrawButton(HDC dc, const ButtonLayer* layer, HWND window);
// The footprint in the one-bit layer mask (black pen and brush selected by the caller).
void DrawButtonLayer(HDC dc, const ButtonLayer* layer);
void HiliteButtonLayer(const ButtonLayer* layer, HWND window);
void DrawButtonLayerHilite(HDC dc, const ButtonLayer* layer);
void InvalidateButtonContent(HWND window, const ButtonLayer* layer, const RECT& rect);

// ---- ButtonPress_win.cpp ----
void BeginButtonPress(HWND window, LayerHandle button);
// What a mouse move did over the buttons: `used` when it rolled onto a button (`rolledOnto`,
// the caller performs that button's actions) or followed a press in progress.
struct ButtonMouse {
    bool used = false;
    bool rolledOnto = false;
    uint16_t buttonId = 0;
};
// Rollover first, then tracking a press.
ButtonMouse TrackButtonMouse(HWND window, int x, int y);
// True when the release was inside the pressed button: its id is *releasedId, and the caller
// performs its actions.
bool EndButtonPress(HWND window, uint16_t* releasedId);
void ResetRolloverButton();

// ---- ButtonIcons_win.cpp ----
// Image `index` (out of range: 0) at (x, y) through its mask; false when nothing was drawn.
bool DrawIconImage(HDC dc, Handle iconData, int index, int x, int y);
// The first image's opaque pixels set to white (layer mask, highlight bitmap).
void DrawIconFootprint(HDC dc, Handle iconData, int x, int y);
// The frame of `step` (past the last: the first) of 'Crsr' data in memory order; still data
// draws its one image.
bool DrawAnimatedCursorFrame(HDC dc, Handle cursorData, uint32_t step, int x, int y);
