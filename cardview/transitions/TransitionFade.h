// The colour arithmetic of the fades (5, 6, 27 and the full-screen fade on 8-bit displays): 32
// steps from the start table to the fade colour, the new card drawn, 31 steps from the fade
// colour to the target table. The blended entries go to the palette-animation hook.
#pragma once

#include <cstdint>

#include "graphics/palette/PaletteRgbTables.h"

inline constexpr int kFadeOutSteps = 32;
inline constexpr int kFadeInSteps = 31;

// Step j (1..32) toward the colour: (entry x (32 - j) + K x j) / 32 per component.
PaletteRgbTable FadeTowardColor(const PaletteRgbTable& from, PaletteRgb color, int j);
// Step j (1..31) back: (target x j + K x (32 - j)) / 32.
PaletteRgbTable FadeFromColor(const PaletteRgbTable& target, PaletteRgb color, int j);
// The quarter ticks step j waits for from its start: (speed + 2) x j.
constexpr int64_t FadeStepQuarterTicks(int speed, int j) { return int64_t{speed + 2} * j; }
// A COLORREF (0x00BBGGRR) as a table entry.
PaletteRgb PaletteRgbFromColorRef(uint32_t color);
