// The card window as the layer list and the objects see it. The tool is the current one
// (core/ui/ToolNumbers.h), and what it shows of hidden objects follows from it here; the
// magnified view's zoom and whether objects show at all are written down by their owners when
// they change (paint's magnifier, the menu's Show Objects option), so nothing above is asked.
#pragma once

#include "core/ui/ToolNumbers.h"

// The hidden buttons the palette shows: every one, or only those marked as playing a sound.
inline constexpr int kPaletteModeShowsAllButtons = 6;
inline constexpr int kPaletteModeShowsMarkedButtons = 5;

struct CardView {
    int tool = kBrowseTool;
    int zoom = 1;  // the magnified view's zoom; 1 when not magnified
    bool objectsShown = true;
    // What the tool shows of the hidden objects, by kind, and the palette's mode.
    bool hiddenGraphicsShown = false;
    bool hiddenButtonsShown = false;
    bool hiddenTextsShown = false;
    int paletteMode = kPaletteModeShowsAllButtons;
};

// The view of a tool at zoom 1 with the objects shown: the graphic-editing tools show hidden
// graphics, the button tools hidden buttons (the sound button tool only the marked ones), the
// text tools hidden texts.
CardView CardViewOfTool(int tool);
// The view now.
CardView GetCardView();

int GetCardZoom();
void SetCardZoom(int zoom);  // 1 normal, 2, 4 or 8
bool GetCardObjectsShown();
void SetCardObjectsShown(bool shown);
