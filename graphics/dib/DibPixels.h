// Pixel byte orders and colour tables of DibHandles.
//
// Windows keeps 16-bit pixels as little-endian 5-5-5 values and 32-bit pixels as blue, green,
// red, unused; stack files and packed pictures keep 16-bit pixels high byte first and 32-bit
// pixels as unused, red, green, blue. 24-bit rows are stored as they are.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "graphics/dib/Dib.h"

struct DibColor {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t reserved = 0;
    friend bool operator==(const DibColor&, const DibColor&) = default;
};

// In place, over the pixels of every row (row padding untouched): 16-bit pixels get their two
// bytes swapped, 32-bit pixels their four bytes reversed; other depths are left alone. The
// two directions are the same reversal; both names exist so that callers read right.
// False for a damaged DIB.
bool DibToStoredPixelOrder(DibHandle dib);
bool DibFromStoredPixelOrder(DibHandle dib);

// The colour table as it stands (at most 256 entries).
int GetDibColorTable(DibHandle dib, std::span<DibColor> out);
// Writes colours into the table, as many as it holds and at most 256; entries the colours
// do not reach become 0. Returns the entries written, -1 for a damaged DIB.
int SetDibColorTable(DibHandle dib, std::span<const DibColor> colors);

// Maps the pixels of a 4- or 8-bit DIB to another colour table: each pixel's colour (from the
// DIB's own table; an index past it counts as black) goes through nearestIndex once per index
// met, 8-bit pixels by whole bytes, 4-bit pixels by both nibbles (a nibble takes the low 4 bits
// of the index found). Then the table becomes the first 16 (4-bit) or 256 (8-bit) of newTable.
// Other depths are left untouched and give false.
using NearestColorIndex = std::function<uint8_t(DibColor)>;
bool DibRemapPixels(DibHandle dib, const NearestColorIndex& nearestIndex, std::span<const DibColor> newTable);
