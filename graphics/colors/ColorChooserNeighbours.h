// What the colour dialogs and the eyedropper ask of the layers above graphics: undo, group
// cards, the text and object colours, the magnified view, the card size dialog, colour
// replacement and the floating colours window. The host installs them
// (host/FcolorsNeighbours_win.cpp); the defaults do the least: no undo, no group,
// nothing recoloured, no dialog (0), no palette window.
#pragma once

#include <windows.h>

#include <cstdint>

struct ColorChooserNeighbours {
    void (*recordPaintUndo)();
    // Whether the current card shares its background with other cards, and giving it its own.
    bool (*cardIsGrouped)();
    void (*ungroupCard)();
    // The text colour chosen: the active text field's selection, the selected object (mode 1) and
    // the paint text being typed take it.
    void (*applyTextColor)(int16_t index);
    // The magnified view repainted when the card is zoomed.
    void (*invalidateMagnified)();
    int (*askStackSizeAndColors)(HWND window, int* width, int* height, int* depth);
    // The card picture's pixels of one colour value replaced by another (code 82, flag 1).
    int (*replaceColorsInPicture)(int code, int flag, int oldValue, int newValue);
    // The open stack's working colour depth (the display's when none is open).
    int (*stackColorDepth)();
    // The floating colours window: the frame of a colour value toggled in the grid or the pattern
    // cells, and a panel's swatch redrawn ('f', 'e' or 't').
    void (*frameColorValue)(int16_t value);
    void (*redrawSwatch)(char letter);
};

const ColorChooserNeighbours& GetColorChooserNeighbours();
void SetColorChooserNeighbours(const ColorChooserNeighbours& neighbours);
ColorChooserNeighbours DefaultColorChooserNeighbours();
