// The colour remap table of card import.
#include "graphics/palette/PaletteRemap.h"

#include <cstring>

namespace {
Handle g_pairs = 0;
int16_t g_count = 0;
}  // namespace

void SetColorRemapTable(Handle pairs, int16_t count) {
    g_pairs = pairs;
    g_count = count;
}

Handle GetColorRemapTable() { return g_pairs; }

int16_t GetColorRemapCount() { return g_count; }

uint16_t LookupRemappedColor(uint16_t oldIndex) {
    if (g_count <= 0 || !g_pairs)
        return 0;
    HandleLock lock(g_pairs);
    if (!lock)
        return 0;
    const uint32_t pairs = GetHandleSize(g_pairs) / 4;
    const uint32_t count = static_cast<uint32_t>(g_count) < pairs ? static_cast<uint32_t>(g_count) : pairs;
    for (uint32_t i = 0; i < count; ++i) {
        uint16_t pair[2];
        std::memcpy(pair, lock.get() + i * 4, sizeof pair);
        if (pair[0] == oldIndex)
            return pair[1];
    }
    return 0;
}
