// The stack's part in showing a card: its picture at the display's depth, the objects visible
// on it (CardRedrawServices_win.cpp; its palette stored with the picture: PicturePalette.h); and the card pictures' reading, packing and storing that the
// depth conversions use (CardPictureServices_win.cpp, through CardPictureGdi.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "stack/pictures/PicturePalette.h"

enum class CardPictureOutcome {
    Drawn,    // *dib holds the picture
    None,     // the card has no picture
    Damaged,  // the card's picture cannot be read
};

// The card's picture at the display's depth (ConvertPictureDepth from the picture's stored
// depth; 24 as 32), bottom row first; Damaged when the record says it holds one that cannot be
// read.
CardPictureOutcome CardPictureForDisplay(Handle card, int displayDepth, DibHandle* dib);

// The card list's part, for the redraw's files that keep clear of the record layouts: the card
// on display (0 when none), it built and drawn again (RefreshCurrentCard), an alert (the pressed
// button's position, 0 when none was shown).
Handle CardOnDisplay();
void RefreshCardOnDisplay(int redraw);
int ShowCardListAlert(uint32_t stringId);

// The card picture procedures of the depth conversions (CardPictureGdi.h), in the shape the
// wiring fills them in.
DibHandle CardPictureDib(Handle card, int width, int height, int depth, bool flip, bool useStoredColors);
Handle PackCardPictureDib(DibHandle dib, bool cardPicture);
