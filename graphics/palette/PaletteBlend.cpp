// Palette blends.
#include "graphics/palette/PaletteBlend.h"

namespace {

PaletteAnimationHook g_hook = nullptr;
constexpr uint8_t kReservedEntryFlag = 0x01;

uint8_t Mix(uint8_t start, uint8_t target, int level) {
    return static_cast<uint8_t>((start * (256 - level) + target * level) / 256);
}

}  // namespace

PaletteRgbTable BlendPaletteTables(const PaletteRgbTable& start, const PaletteRgbTable& target, int level) {
    PaletteRgbTable out{};
    for (size_t i = 0; i < out.size(); ++i) {
        out[i].red = Mix(start[i].red, target[i].red, level);
        out[i].green = Mix(start[i].green, target[i].green, level);
        out[i].blue = Mix(start[i].blue, target[i].blue, level);
    }
    return out;
}

void BlendPaletteStep(int level) {
    PaletteRgbTable blended = BlendPaletteTables(PaletteBlendStartTable(), PaletteBlendTargetTable(), level);
    // Animated entries must be reserved ones (PC_RESERVED).
    for (PaletteRgb& entry : blended)
        entry.unused = kReservedEntryFlag;
    AnimatePaletteEntries(blended);
}

void SetPaletteAnimationHook(PaletteAnimationHook hook) { g_hook = hook; }

void AnimatePaletteEntries(std::span<const PaletteRgb> entries) {
    if (g_hook)
        g_hook(entries);
}
