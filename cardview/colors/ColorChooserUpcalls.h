// What the colour dialogs and the eyedropper ask of the host above them: the floating colours
// window's frame of a colour value toggled in the grid or the pattern cells, and a panel's
// swatch redrawn ('f', 'e' or 't'). host/wiring/WireGraphics_win.cpp fills this; until it does
// there is no colours window to draw.
#pragma once

#include <cstdint>

struct ColorChooserUpcalls {
    void (*frameColorValue)(int16_t value);
    void (*redrawSwatch)(char letter);
};

const ColorChooserUpcalls& GetColorChooserUpcalls();
// Null members take the defaults.
void SetColorChooserUpcalls(const ColorChooserUpcalls& upcalls);
