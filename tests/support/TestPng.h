// An independent PNG writer for tests: 8-bit RGB, no filter, stored deflate blocks.
#pragma once

#include <cstdint>
#include <vector>

// RGB pixels, rows top first.
std::vector<uint8_t> Png(int width, int height, const std::vector<uint8_t>& rgb);
