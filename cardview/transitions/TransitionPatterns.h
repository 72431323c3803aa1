// The masks of the masked reveals other than the dissolve: the four pattern reveals (an 8 x 8
// pattern per step, tiled from the rectangle's corner) and "Rain" (falling streaks over a tile
// of 342 rows of 512 pixels). A mask bit of 1 is where the new card shows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "graphics/masks/MaskBits.h"

inline constexpr int kPatternRevealSteps = 8;
// The 8 rows of step (0..7) of transition 23 to 26, top row first, 0x80 the leftmost pixel.
// All zero for other numbers or steps.
std::array<uint8_t, 8> PatternRevealRows(int transition, int step);
// Step's pattern tiled over a width x height mask, its origin at the mask's top-left corner.
MaskBits PatternRevealMask(int transition, int step, int width, int height);

inline constexpr int kRainSteps = 8;
inline constexpr int kRainTileRows = 342;
inline constexpr int kRainTileBytes = 64;
extern const std::array<uint8_t, 32> kRainSlotOrder;

// The rain tile, built up step by step: rows of 64 bytes.
struct RainTile {
    std::vector<uint8_t> rows = std::vector<uint8_t>(size_t{kRainTileRows} * kRainTileBytes, 0);
};
// Adds the 344 streaks of step s (0..7).
void RainStep(RainTile* tile, int step);
// The tile repeated over a width x height mask: bytes from 64 on repeat the first 64 of the
// row, rows from 342 on repeat the rows 342 above.
MaskBits RainMask(const RainTile& tile, int width, int height);
