// The card picture's palette, and what the depth conversions of card pictures ask of the stack
// layer above (reading a picture out of its record, packing it, the colour table stored with
// it, storing it back): CardPictureUpcalls, which host/wiring/WireGraphics_win.cpp fills with
// the stack's procedures.
//
// Until it does, the defaults do the least, which is nothing (no picture, nothing packed, no
// colour table, nothing stored), so that a conversion fails and leaves the card record as it was.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "graphics/dib/Dib.h"
#include "graphics/pixels/CardPicture.h"

// A palette of a Mac colour table's entries (a component's first byte is its colour); entries
// from 10 on carry PC_NOCOLLAPSE. Null for a damaged table. The caller deletes it.
HPALETTE PaletteFromMacColorTable(std::span<const uint8_t> table);
// PaletteFromPictureResource: the palette of the colour table stored with the card's picture
// (in the record that holds it); null when there is none. On a palette display a picture deeper
// than 8 bits has the default palette. The caller deletes it.
HPALETTE PaletteFromPictureResource(Handle card);

struct CardPictureUpcalls {
    // DibFromPictureResource: the card's picture as a new DIB of width x height at depth,
    // bottom row first when flip, with the stored colour table when useStoredColors (else, up
    // to 8 bits, the identity table); 0 when there is none.
    DibHandle (*dibFromPictureResource)(Handle card, int width, int height, int depth, bool flip,
                                        bool useStoredColors);
    // PackPicture without an index map: the PackedPicture of a bottom-up DIB (whose rows it
    // leaves top-down); 0 on failure.
    Handle (*packPicture)(DibHandle dib, bool cardPicture);
    // MakeColorTableForDepth: the Mac colour table to store with the picture; 0 when none.
    Handle (*makeColorTableForDepth)(HWND window, Handle card, int sourceDepth, int targetDepth);
    // ReplacePictureData: the colour table and packed picture become the picture's data at
    // depth; 0 when stored. The handles stay the caller's.
    int (*replacePictureData)(Handle card, Handle packed, Handle colorTable, int depth);
    // MapBitmapToPalette: the card's colours re-mapped to the palette.
    void (*mapBitmapToPalette)(Handle card, HPALETTE palette);
};

const CardPictureUpcalls& GetCardPictureUpcalls();
void SetCardPictureUpcalls(const CardPictureUpcalls& upcalls);
CardPictureUpcalls DefaultCardPictureUpcalls();
