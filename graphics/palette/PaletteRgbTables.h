// The two RGB tables behind palette blends: the start table and the target table, 256 entries
// each. Both take the application palette's colours when it is built; the fades and the
// floating colours palette blend from one to the other.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "graphics/dib/DibPixels.h"

struct PaletteRgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t unused = 0;
    friend bool operator==(const PaletteRgb&, const PaletteRgb&) = default;
};
using PaletteRgbTable = std::array<PaletteRgb, 256>;

PaletteRgbTable& PaletteBlendStartTable();
PaletteRgbTable& PaletteBlendTargetTable();

// Both tables take the colours' red, green and blue (at most 256; the fourth bytes stay).
void FillPaletteRgbTables(std::span<const DibColor> colors);
// Before a palette change: the target table becomes the start table and the target takes the
// entries' red, green and blue (at most 256; laid out as PALETTEENTRY).
void PushPaletteRgbTables(std::span<const PaletteRgb> entries);
