// Metafiles the tests write: a Windows metafile that fills rectangles with solid colours, with
// or without a placeable header before it.
#pragma once

#include <cstdint>
#include <vector>

struct MetafileFill {
    int16_t left, top, right, bottom;
    uint32_t colour;  // a COLORREF: 0x00BBGGRR
};

// The Windows metafile alone: each fill a pen and brush of its colour and a rectangle.
std::vector<uint8_t> WindowsMetafile(const std::vector<MetafileFill>& fills);
// The same behind a placeable header with this box and units per inch.
std::vector<uint8_t> PlaceableMetafile(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch,
                                       const std::vector<MetafileFill>& fills);
