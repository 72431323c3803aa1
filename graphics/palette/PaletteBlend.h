// Palette blends between the start and the target table (PaletteRgbTables.h): the blended
// entries of a level and the hook through which blended palettes would be shown. The hook does
// nothing in this system, so a blend is never seen on screen; the fades keep their timing.
#pragma once

#include <array>
#include <span>

#include "graphics/palette/PaletteRgbTables.h"

// Each of red, green and blue: (start x (256 - level) + target x level) / 256, truncated.
PaletteRgbTable BlendPaletteTables(const PaletteRgbTable& start, const PaletteRgbTable& target, int level);
// The same over the two blend tables, handed to the palette-animation hook.
void BlendPaletteStep(int level);

// The palette-animation hook: 256 entries at a time. Null is the default (nothing shown):
// host/wiring installs none yet; tests/cardview/colors/FcolorsLayout_test.cpp watches the steps.
using PaletteAnimationHook = void (*)(std::span<const PaletteRgb> entries);
void SetPaletteAnimationHook(PaletteAnimationHook hook);
void AnimatePaletteEntries(std::span<const PaletteRgb> entries);
