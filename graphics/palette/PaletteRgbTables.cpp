// The start and target tables of palette blends.
#include "graphics/palette/PaletteRgbTables.h"

namespace {
PaletteRgbTable g_start{};
PaletteRgbTable g_target{};
}  // namespace

PaletteRgbTable& PaletteBlendStartTable() { return g_start; }

PaletteRgbTable& PaletteBlendTargetTable() { return g_target; }

void FillPaletteRgbTables(std::span<const DibColor> colors) {
    for (size_t i = 0; i < colors.size() && i < g_start.size(); ++i)
        for (PaletteRgbTable* table : {&g_start, &g_target}) {
            (*table)[i].red = colors[i].red;
            (*table)[i].green = colors[i].green;
            (*table)[i].blue = colors[i].blue;
        }
}

void PushPaletteRgbTables(std::span<const PaletteRgb> entries) {
    g_start = g_target;
    for (size_t i = 0; i < entries.size() && i < g_target.size(); ++i) {
        g_target[i].red = entries[i].red;
        g_target[i].green = entries[i].green;
        g_target[i].blue = entries[i].blue;
    }
}
