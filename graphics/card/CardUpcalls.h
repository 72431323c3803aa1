// What the card layer (the card redraw and the palette code) asks of the program above it: the
// frame's menu bar, which the host keeps. The later subsystems that take part in showing a card
// (videodisc, grid, text fields, media elements, animations) lie below and are called directly.
// host/wiring/WireGraphics_win.cpp fills this; until then the frame's menu bar does nothing.
#pragma once

struct CardRedrawUpcalls {
    // The frame's menu bar shown or hidden (whether it has one is the card list's to say).
    void (*toggleMenuBar)();
};

const CardRedrawUpcalls& GetCardRedrawUpcalls();
// Null members take the defaults.
void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls);
