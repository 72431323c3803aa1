// Colour tables of DibHandles from pictures and palettes: the Mac colour table stored with a
// picture, the current picture palette, or the application palette.
//
// A Mac colour table: u32 seed, u16 flags, u16 count - 1, then one 8-byte entry per colour
// (u16 value, red, green, blue), big-endian; a component's first (high) byte is its colour.
//
//   DibPalette.cpp      reading Mac colour tables into DIBs
//   DibPaletteFromDib_win.cpp  CreatePaletteFromDib (Windows build only)
//   DibPalette_win.cpp  DibSetPaletteFromPicture, DibApplyPalette, DibCopyPaletteEntries
//                       (the current palettes of AppPalette.h; Windows build only)
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dib/Dib.h"
#include "graphics/dib/DibPixels.h"
#include "format/StackFile.h"

// The colours of a Mac colour table (MacColorTableColors, StackFile.h) as DIB colours: count
// word + 1 entries; none when the table is shorter than its header or than the entries it
// announces, or announces more than 256.
std::vector<DibColor> ReadMacColorTable(std::span<const uint8_t> table);
// The table's colours into the DIB's colour table, as many as both hold; other entries stay.
// The entries written, -1 for a damaged DIB.
int DibSetColorsFromMacTable(DibHandle dib, std::span<const uint8_t> table);

// The half of DibApplyPalette that reads the picture record: unless the record's word at 8 is
// 0xFFFF (no picture record), the Mac colour table of the record that holds the picture
// (ResolvePictureRecord, CardPicture.h) is copied into the DIB. False when nothing was copied:
// no picture record, none found, one without a colour table, or a picture deeper than 8 bits
// (its table names none of its pixels).
bool DibTableFromPictureRecord(Handle pictureRecord, DibHandle dib);

// ---- DibPaletteFromDib_win.cpp ----
// A palette of a packed DIB's colour table (header, then the table, `size` bytes in all): for
// 1 to 8 bits per pixel 2^bits entries, each flagged PC_RESERVED; null for deeper DIBs, a table
// the bytes do not hold, or failure.
#ifdef _WIN32
#include <windows.h>
HPALETTE CreatePaletteFromDib(const void* dib, size_t size);
#endif

// ---- DibPalette_win.cpp ----
// DibSetPaletteFrom (DibGdi.h) with a palette made from the colour table of the card's picture,
// deleted afterwards. False when there is no such table or the DIB is not 4 or 8 bits.
bool DibSetPaletteFromPicture(Handle card, DibHandle dib);
// DibTableFromPictureRecord, else DibCopyPaletteEntries. False when neither set the table.
bool DibApplyPalette(Handle pictureRecord, DibHandle dib);
// For a DIB of at most 256 colours (DibNumColors), its first DibNumColors entries from the
// current picture palette, else the application palette. False when there is neither, or
// nothing to copy.
bool DibCopyPaletteEntries(DibHandle dib);
