// Matching pictures to a palette by nearest colour: what reduces a deep card picture to the
// application palette's 256 colours.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/dib/DibPixels.h"

// The palette entry nearest to the colour by the squared distance of red, green and blue; the
// lowest index wins a tie. 0 for an empty palette.
uint8_t NearestPaletteEntry(std::span<const DibColor> palette, DibColor colour);

// A new 8-bit DIB of the 24-bit source's width and height, rows in the same order, each pixel
// the nearest of the palette's entries (at most 256 are used), its colour table the palette
// (entries past it 0). 0 for another depth, a damaged source, an empty palette or no memory.
DibHandle MatchDib24ToPalette(DibHandle source, std::span<const DibColor> palette);
