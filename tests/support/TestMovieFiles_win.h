// Movie files the tests write: an RLE AVI of four coloured frames and a GIF of three images,
// written to the temporary folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/RleAvi.h"

using Bytes = std::vector<uint8_t>;

// The colours of the frames, as palette entries blue, green, red.
inline constexpr auto& kColours = kRleAviPalette;
inline constexpr int kAviWidth = 32, kAviHeight = 24, kAviFps = kRleAviFramesPerSecond;

// The image data of a GIF with 2-bit colour indices: the code size byte and the sub-blocks.
Bytes GifPixels(const Bytes& pixels);
// Four frames of 8-bit RLE, frame k filled with colour k + 1, 10 frames a second.
Bytes RleAvi();
// Three 8 × 8 frames: all colour 1; the left half colour 2 over it; all colour 3.
Bytes ThreeFrameGif();

std::string TempPath(const char* name);
std::string WriteTemp(const char* name, const Bytes& bytes);
