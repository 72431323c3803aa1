// Pixel rows as CopyBits and the drawing calls see them, whatever holds them (a DIB section top
// down or bottom up, a block of the caller's): the top row's address and the step to the next
// row, 24 or 32 bits a pixel (blue, green, red[, unused]).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quicktime/QtTypes.h"

struct StandInPixels {
    uint8_t* top = nullptr;
    ptrdiff_t stride = 0;  // negative for rows kept bottom up
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;  // 24 or 32
};

bool StandInPixelsUsable(const StandInPixels& p);
// The colour of (x, y) as blue, green, red; the caller keeps (x, y) inside.
void StandInGetPixel(const StandInPixels& p, int x, int y, uint8_t bgr[3]);
void StandInSetPixel(const StandInPixels& p, int x, int y, const uint8_t bgr[3]);

// CopyBits over pixels: the source rectangle scaled (nearest pixel) onto the destination
// rectangle, both cut to their maps, only where the clip rectangles (destination coordinates;
// none: everywhere) allow. Mode kQtSrcCopyMode copies; kQtBlendMode mixes each channel as
// (source × weight + destination × (65535 − weight)) / 65535, the weight being that channel
// of the operation colour. Other modes copy. False when nothing could be read or written.
bool StandInCopyPixels(const StandInPixels& source, const StandInPixels& destination, const QtRect& sourceRect,
                       const QtRect& destinationRect, int16_t mode, const QtRGBColor& opColor,
                       const std::vector<QtRect>* clip);
