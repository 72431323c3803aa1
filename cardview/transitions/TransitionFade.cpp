// Fade arithmetic.
#include "cardview/transitions/TransitionFade.h"

namespace {

uint8_t Mix(int a, int aWeight, int b, int bWeight) { return static_cast<uint8_t>((a * aWeight + b * bWeight) / 32); }

PaletteRgbTable Blend(const PaletteRgbTable& table, PaletteRgb color, int tableWeight) {
    PaletteRgbTable out = table;
    const int colorWeight = 32 - tableWeight;
    for (PaletteRgb& e : out) {
        e.red = Mix(e.red, tableWeight, color.red, colorWeight);
        e.green = Mix(e.green, tableWeight, color.green, colorWeight);
        e.blue = Mix(e.blue, tableWeight, color.blue, colorWeight);
    }
    return out;
}

}  // namespace

PaletteRgbTable FadeTowardColor(const PaletteRgbTable& from, PaletteRgb color, int j) {
    return Blend(from, color, 32 - j);
}

PaletteRgbTable FadeFromColor(const PaletteRgbTable& target, PaletteRgb color, int j) {
    return Blend(target, color, j);
}

PaletteRgb PaletteRgbFromColorRef(uint32_t color) {
    return {static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
            static_cast<uint8_t>((color >> 16) & 0xFF), 0};
}
