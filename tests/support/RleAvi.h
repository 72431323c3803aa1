// A project-made AVI for the movie tests: four frames of 8-bit RLE, frame k filled with palette
// colour k + 1, ten frames a second (RleAvi.cpp).
#pragma once

#include <cstdint>
#include <vector>

// The palette, as entries blue, green, red: black, red, green, blue, yellow.
inline constexpr uint8_t kRleAviPalette[][3] = {{0, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {0, 255, 255}};
inline constexpr int kRleAviFramesPerSecond = 10;

std::vector<uint8_t> FourFrameRleAvi(int width, int height);
