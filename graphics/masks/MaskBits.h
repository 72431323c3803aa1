// One-bit masks as plain bits, the form in which the mask code scans, outlines and stores them
// (the GDI side, graphics/masks/Masks.h, turns them into monochrome bitmaps and back).
//
// Rows run top row first, each MaskRowBytes(width) long (padded to 32 bits, as in a one-bit DIB
// and in a PackedMask), leftmost pixel in the most significant bit, 1 = white = selected. The
// padding bits past the width are kept 0.
//
//   MaskBits.cpp       the bit image, cuts, row repacking, outlines
//   MaskRegions.cpp    pixel rows of DIBs, polygon, colour-run and flood-fill scans
//   PackedMask.cpp     the PackedMask block layout and its checks
//   MaskLasso.cpp      how the mask code reaches the lasso point buffer
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/ShortRect.h"

// Bitmaps of the graphics code are at most this wide or high (16-bit signed sizes).
inline constexpr int kMaskMaxDimension = 32767;

constexpr uint32_t MaskRowBytes(int width) {
    return width <= 0 ? 0 : static_cast<uint32_t>((int64_t{width} + 31) / 32 * 4);
}

class MaskBits {
public:
    MaskBits() = default;
    // All black; an empty mask for a size outside 1..kMaskMaxDimension.
    MaskBits(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0; }
    uint32_t rowBytes() const { return MaskRowBytes(width_); }
    std::span<uint8_t> row(int y) { return {bits_.data() + size_t{rowBytes()} * y, rowBytes()}; }
    std::span<const uint8_t> row(int y) const { return {bits_.data() + size_t{rowBytes()} * y, rowBytes()}; }
    std::span<const uint8_t> bytes() const { return bits_; }

    // Outside the mask: Get is false and Set does nothing.
    bool Get(int x, int y) const;
    void Set(int x, int y, bool white = true);
    // Sets x0..x1 (inclusive) of row y, clipped to the mask.
    void SetRun(int y, int x0, int x1);
    int CountSet() const;

    friend bool operator==(const MaskBits&, const MaskBits&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> bits_;
};

// The rectangle (right and bottom exclusive) of the mask as a new mask; parts outside the
// source are black. Empty for an empty rectangle.
MaskBits CutMaskBits(const MaskBits& mask, const Rect32& rect);

// Copies rows of another row length into a mask (the bits past the width dropped): rows of a
// one-bit bitmap, of a DIB or of a PackedMask. topDown false takes the last row first, as DIBs
// lie. oneIsWhite false inverts the bits (a DIB whose colour table starts with white). False,
// the mask untouched, when the rows do not hold mask.height() rows of that length.
bool MaskBitsFromRows(std::span<const uint8_t> rows, uint32_t rowBytes, bool topDown, bool oneIsWhite, MaskBits* mask);
// The mask's rows at another row length (at least the bytes of the width): what CreateBitmap
// takes with the row size of a monochrome bitmap.
std::vector<uint8_t> MaskBitsToRows(const MaskBits& mask, uint32_t rowBytes);

// The one-pixel boundary: the first and last pixel of every horizontal run of set pixels and
// the top and bottom pixel of every vertical run. Same size as the mask.
MaskBits MaskOutlineBits(const MaskBits& mask);
// A band about n pixels wide inside the mask's edge: the stamp (2n x 2n, a filled circle) is
// ORed at both ends of every horizontal and vertical run, the result ANDed with the mask.
// Stamping only the run ends keeps this cheap for large masks.
MaskBits MaskOutlineStamped(const MaskBits& mask, const MaskBits& stamp, int n);
