// The scans behind the mask makers of graphics/masks/Masks.h, over the pixel rows of DIBs: the pixels
// inside a lasso that differ from the background, the connected area of one colour, and the
// pixels a flood fill changed. The GDI side reads the bitmaps and draws the polygons; these
// decide which pixels are selected.
//
// Coordinates here are bitmap pixels, row 0 at the top; rectangles exclude right and bottom.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/ShortRect.h"
#include "graphics/masks/MaskBits.h"

// The pixels of a checked DIB (graphics/dib/Dib.h), read by (x, y) with y counted from the top
// whatever the row order.
struct PixelRows {
    std::span<const uint8_t> image;
    std::span<const uint8_t> table;  // 4-byte blue, green, red, 0 entries (depths up to 8)
    int width = 0;
    int height = 0;
    int depth = 0;
    uint32_t rowBytes = 0;
    bool bottomUp = true;  // GetDIBits lays the bottom row first

    // The pixel's value as stored: an index (depths up to 8), the 16-bit value, the three bytes
    // of a 24-bit pixel, the whole 32-bit value. The caller keeps (x, y) inside.
    uint32_t Value(int x, int y) const;
    // Black at every depth: an index whose table entry is black (or that lies past the table),
    // a 16-bit value whose colour bits are 0, blue, green and red all 0.
    bool IsBlack(int x, int y) const;
    // For depths up to 8: whether the table entry is black (an index past the table is).
    bool IsBlackIndex(uint32_t index) const;
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};
// The pixels of a packed DIB (ReadDibLayout's checks); false for bytes it refuses.
bool ReadPixelRows(std::span<const uint8_t> dib, PixelRows* rows);

// Widens the bounds to take in columns xFrom..xTo of row y; here right and bottom are
// inclusive. Start from kEmptyRunBounds.
inline constexpr Rect32 kEmptyRunBounds = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
void LassoPointCompare(Rect32* bounds, int32_t xFrom, int32_t xTo, int32_t y);

// The pixels inside a lasso that differ from the background. image is the picture under the
// lasso, polygon a picture of the same size that is black inside the lasso. The background is
// the image's colour under the first lasso point (held inside the image). Scanned: the lasso
// bounds within the image. fillGaps selects only pixels lying between qualifying pixels both
// along their row and down their column (closing gaps inside a drawn shape).
// True with the mask cut to the found area and found set to it; false, with both emptied, when
// nothing qualified or the two pictures do not match.
bool ScanPolygonMask(const PixelRows& image, const PixelRows& polygon, const Rect32& lassoBounds, int32_t firstX,
                     int32_t firstY, bool fillGaps, MaskBits* mask, Rect32* found);

// The 4-connected area of the seed pixel's colour, breadth first over the pixel values and a
// byte map of visited pixels. True with the mask of the found area and its bounds; false with
// both emptied for a seed outside the pixels or when the work buffers cannot be had.
bool ScanColorRun(const PixelRows& pixels, int32_t seedX, int32_t seedY, MaskBits* mask, Rect32* found);

// The pixels a flood fill at the seed changed: before and after are the same picture read
// before and after the fill. Rows are taken from the seed's row down, then from the row above
// it up, each walk ending at the first row without a changed pixel. False, both emptied, when
// the seed's row did not change, when the changes span a single column (too thin to trust the
// fill), or when the two pictures do not match.
bool ScanFloodFillChange(const PixelRows& before, const PixelRows& after, int32_t seedX, int32_t seedY, MaskBits* mask,
                         Rect32* found);
