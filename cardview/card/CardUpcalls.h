// What the card layer (the card redraw and the palette code) asks of the program above it: the
// current card drawn again by the player, which writes its edits back and lets go of what lives
// on it first. The later subsystems that take part in showing a card (videodisc, grid, text
// fields, media elements, animations) lie below and are called directly.
// host/wiring/WireGraphics_win.cpp fills this; until then it does nothing.
#pragma once

struct CardRedrawUpcalls {
    // The current card rebuilt and drawn again in place (RefreshCurrentCard of host/player);
    // redraw is the redraw's entering argument.
    void (*refreshCard)(int redraw);
};

const CardRedrawUpcalls& GetCardRedrawUpcalls();
// Null members take the defaults.
void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls);
