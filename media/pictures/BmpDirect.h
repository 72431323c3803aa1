// The BMP files the picture import reads itself rather than through the imaging library: 15,
// 16 and 32 bits a pixel, bit fields or not, either row order, the pixels where the file header
// says. Platform-free.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// 16 or 32 bits: the picture import reads it directly.
bool IsDirectBmp(std::span<const uint8_t> file);
// The file as a 24-bit packed DIB (40-byte header, rows bottom first); empty when it is not a
// whole 16- or 32-bit BMP.
std::vector<uint8_t> DirectBmpToPackedDib(std::span<const uint8_t> file);
