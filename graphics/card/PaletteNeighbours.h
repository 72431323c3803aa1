// What the palette code asks of the card layers above it: the card on display, storing a
// palette with its picture, and drawing it again. Each layer installs its procedure; re-mapping
// a card's colours goes through CardPictureNeighbours (CardPictureGdi.h).
//
// MINIMAL until the card redraw and navigation install theirs: there is no card on display,
// nothing is stored and nothing redrawn.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"

struct PaletteNeighbours {
    // The card record on display; 0 when none.
    Handle (*currentCard)();
    // StorePaletteInPictureResource: the colour table stored with the card's picture becomes
    // the palette's entries.
    void (*storePaletteInPictureResource)(Handle card, HPALETTE palette);
    // RefreshCurrentCard: the card on display built and drawn again.
    void (*refreshCurrentCard)();
};

const PaletteNeighbours& GetPaletteNeighbours();
void SetPaletteNeighbours(const PaletteNeighbours& neighbours);
PaletteNeighbours DefaultPaletteNeighbours();
