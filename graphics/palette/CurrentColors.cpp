// The current colours of the painting tools and the custom colour.
#include "graphics/palette/CurrentColors.h"

namespace {

struct Colors {
    int16_t text = 0, fill = 0, eraser = 0;  // by the tools' colour letters
    uint32_t custom = 0;
    bool blackWhiteCached = false;
};
Colors g_colors;

int16_t& ColorOf(char letter) {
    switch (letter) {
    case 't': return g_colors.text;
    case 'e': return g_colors.eraser;
    default: return g_colors.fill;
    }
}

}  // namespace

int16_t GetToolColor(char letter) { return ColorOf(letter); }

void SetToolColor(char letter, int16_t value) { ColorOf(letter) = value; }

uint32_t GetCustomColor() { return g_colors.custom; }

void SetCustomColor(uint32_t rgb) { g_colors.custom = rgb & 0x00FFFFFF; }

bool BlackWhiteIndicesCached() { return g_colors.blackWhiteCached; }

void SetBlackWhiteIndices(uint16_t black, uint16_t white) {
    if (g_colors.blackWhiteCached)
        return;
    g_colors.text = static_cast<int16_t>(black);
    g_colors.fill = static_cast<int16_t>(black);
    g_colors.eraser = static_cast<int16_t>(white);
    g_colors.blackWhiteCached = true;
}

void ResetCurrentColors() { g_colors = Colors{}; }
