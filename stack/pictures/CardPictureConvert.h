// Converting card pictures and graphics between the stack's depth and size and the display's,
// keeping deep pictures as JPEG, and the stack preview (CardPictureConvert_win.cpp; the
// platform-free half is CardPictureStore.h). Results: 0 done, 16 not done (the record as it was).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dib/Dib.h"
#include "stack/pictures/CardPictureStore.h"

// One card record to a new depth and card size, steered by Switches().
int ConvertCardPicture(Handle card, int oldDepth, int newDepth, int width, int height);
// A DIB of the card picture at its stored depth, converted for targetDepth (the display's).
int ConvertPictureDepth(Handle card, int storedDepth, int targetDepth, DibHandle* dib);
// A display-depth DIB converted in place to a storage depth; card gives the card palette.
int ConvertDibToStackDepth(Handle card, DibHandle* dib, int depth);
// The colour table to store with a picture (BuildColorTableForDepth over the card picture's
// colours and the default palette); 0 when none can be made.
Handle MakeColorTableForDepth(HWND window, Handle card, int sourceDepth, int targetDepth);
// Format 3 data back into the packed form at the stack's depth (stretched to the card size when
// sizeChanged). Every byte of the description and the JPEG's own size is checked first.
int DecodeJpegCardPicture(Handle card, bool sizeChanged);
// The picture stored as JPEG when that is smaller than its packed form, else packed (format 2).
int EncodeCardPictureAsJpeg(Handle card);
// Graphic objects of the card to depth: 0, or 16 at the first that fails.
int ConvertCardGraphicsDepth(Handle card, int depth);
// The stored colour indexes of a card's objects (its background records' first) to a palette.
void MapBitmapToPalette(Handle card, HPALETTE palette);
// The stack preview command: stores or removes resource 'WKSp' 31000.
void SaveStackPreviewJpeg();

// A 24-bit bottom-up DIB as JPEG picture data (description of width, height, depth, then the
// JPEG at quality 50); empty on failure.
std::vector<uint8_t> EncodeDibAsJpegData(DibHandle dib24, int depth);

// The card palette (PaletteFromPictureResource), or a copy of the application palette when the
// card has none; the caller deletes it. 0 when there is neither.
HPALETTE CardPalette(Handle card);
// A packed DIB in a global block (freed here) as a new DibHandle; 0 on failure.
DibHandle DibFromGlobal(HGLOBAL global);
// One step of a conversion chain: next takes the place of dib (the old one freed); false, dib
// kept, when the step failed (next is 0).
bool TakeConvertedDib(DibHandle& dib, DibHandle next);
