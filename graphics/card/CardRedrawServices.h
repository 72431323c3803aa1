// What the stack layer gives the card redraw (graphics/CardRedrawNeighbours.h), the layer list
// and NewCard's picture store: installed by CardRedrawServices_win.cpp while the module loads.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/card/CardRedrawNeighbours.h"
#include "graphics/dib/Dib.h"

// Install the stack layer's procedures (done while the module loads; again by tests that reset
// them): the card redraw's, the palette code's and the layer list's neighbours, NewCard's
// offscreen picture (CardRedrawServices_win.cpp); the picture reading, packing and storing of
// the depth conversions and the picture resolver (CardPictureServices_win.cpp).
void InstallCardRedrawServices();
void InstallCardPictureServices();

// The card's picture at the display's depth (ConvertPictureDepth from the picture's stored
// depth), bottom row first; Damaged when the record says it holds one that cannot be read.
CardPictureOutcome CardPictureForDisplay(Handle card, int displayDepth, DibHandle* dib);
// The visible objects of a card, the holder's background objects first, each copied out before
// it is visited (so the visitor may change records).
void WalkVisibleObjects(Handle card, CardObjectVisitor visit, void* context);
// StorePaletteInPictureResource: a picture record longer than 100 bytes that has a colour table
// gets one of the palette's colours in its place (as many entries as the old one).
void StorePaletteInPictureResource(Handle card, HPALETTE palette);
// MakeBitmapFromPictureRecord: the picture stored in a graphic object record as a bitmap
// compatible with the card window, its colours from the card's picture palette (else the
// current one); 0 when it cannot be made.
HBITMAP MakeBitmapFromPictureRecord(std::span<const uint8_t> graphic, Handle card);
