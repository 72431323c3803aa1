// Owner-drawn push buttons with an icon and an optional caption, as the navigation and
// shortcuts palettes show them.
//
//   IconButtons.cpp      platform-free: where icon and caption go for the button's style
//   IconButtons_win.cpp  DrawIconButton, MakeButtonOwnerDrawn
#pragma once

#include <cstdint>

// Alignment bits of a button's style (the BS_ values).
inline constexpr uint32_t kButtonLeft = 0x100, kButtonRight = 0x200, kButtonCentre = 0x300;
inline constexpr uint32_t kButtonTop = 0x400, kButtonBottom = 0x800, kButtonVCentre = 0xC00;

struct ButtonBox {
    int left = 0, top = 0, right = 0, bottom = 0;
};
struct ButtonSize {
    int width = 0, height = 0;
};
struct IconButtonLayout {
    int iconX = 0, iconY = 0;
    int textX = 0, textY = 0;
};
// The places of the icon and the caption (of that extent; 0 x 0 for none) in the working
// rectangle, by the style's horizontal and vertical alignment bits.
IconButtonLayout LayOutIconButton(ButtonBox work, ButtonSize icon, ButtonSize text, uint32_t style);

// The icon id a button shows: a negative id names a fixed icon (its magnitude); a base id gives
// base + 1 when pressed, base + 2 when disabled.
int IconButtonIconId(int iconId, bool selected, bool disabled);

#ifdef _WIN32
#include <windows.h>

// Draws one owner-drawn button of the window: raised edge (sunken and shifted when pressed),
// caption in the window-text colour (grey when disabled), its icon, and a focus rectangle around
// a caption when the button has the focus.
void DrawIconButton(HWND window, const DRAWITEMSTRUCT* item, int iconId);
// The button's type becomes owner-drawn, its alignment bits kept; redraw repaints it.
void MakeButtonOwnerDrawn(HWND button, bool redraw);
#endif
