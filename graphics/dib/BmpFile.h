// BMP files from stored picture rows: a 14-byte file header (little-endian: "BM", file size,
// two reserved words, offset of the pixels) before a packed DIB with a 40-byte info header,
// the colour table for depths up to 8, and the rows bottom row first, each padded to 32 bits.
// 16-bit pixels come out as little-endian 5-5-5, 32-bit ones as blue, green, red, unused.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dib/DibPixels.h"

inline constexpr uint32_t kBmpFileHeaderBytes = 14;

// rows: height stored rows (top row first, MacRowBytes each, pixels in stored order: 16-bit
// high byte first, 32-bit unused, red, green, blue). colors: the table for depths up to 8
// (missing entries are black). Empty when the size or depth is not a DIB's, the rows are too
// short, or memory runs out. Uses the handle table.
std::vector<uint8_t> BmpFileFromStoredRows(int width, int height, int depth,
                                           std::span<const uint8_t> rows,
                                           std::span<const DibColor> colors);
