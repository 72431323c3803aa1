// The PackedMask: how a one-bit mask is kept in memory and in stacks, in host byte order.
//
//   offset  size  field
//   0       2     width in pixels
//   2       2     height in pixels
//   4       2     first caller value (handed back unchanged)
//   6       2     second caller value
//   8       16    zero
//   24      data  rows top row first, MaskRowBytes(width) each, leftmost pixel in the most
//                 significant bit, 1 = white
//   24+data 1     spare byte (zero)
//
// data = MaskRowBytes(width) x height, so a 10 x 3 mask takes 25 + 12 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/masks/MaskBits.h"

inline constexpr uint32_t kPackedMaskHeaderBytes = 24;
inline constexpr uint32_t kPackedMaskSpareBytes = 1;

// Header, rows and spare byte; 0 for a size outside 1..kMaskMaxDimension.
uint32_t PackedMaskBytes(int width, int height);

// The whole block for a mask; empty for an empty mask.
std::vector<uint8_t> WritePackedMask(const MaskBits& mask, uint16_t first, uint16_t second);

// Why a block was refused. The block usually comes from a stack file, so nothing is made or
// read before the stored size has been checked against the block's length.
enum class PackedMaskRefusal {
    None,
    ShortHeader,  // fewer than 24 bytes
    ZeroSize,     // width or height 0
    TooLarge,     // width or height above kMaskMaxDimension
    ShortRows,    // the block ends before the rows the size calls for
    NoBitmap,     // accepted, but the mask bitmap could not be made (graphics/masks/Masks.h)
};
const char* PackedMaskRefusalText(PackedMaskRefusal refusal);

struct PackedMaskView {
    int width = 0;
    int height = 0;
    uint16_t first = 0;
    uint16_t second = 0;
    std::span<const uint8_t> rows;  // MaskRowBytes(width) x height bytes
};
// Checks the block and describes it; the view's rows lie inside the block. The spare byte is
// not required: blocks written before it existed end with the rows.
PackedMaskRefusal ReadPackedMask(std::span<const uint8_t> block, PackedMaskView* view);
// ReadPackedMask, then the rows as a mask (padding bits past the width dropped).
PackedMaskRefusal ReadPackedMaskBits(std::span<const uint8_t> block, MaskBits* mask, uint16_t* first, uint16_t* second);
