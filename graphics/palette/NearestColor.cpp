// Nearest-colour matching of 24-bit pictures to a palette.
#include "graphics/palette/NearestColor.h"

#include <algorithm>
#include <unordered_map>

uint8_t NearestPaletteEntry(std::span<const DibColor> palette, DibColor colour) {
    const size_t count = std::min<size_t>(palette.size(), 256);
    int best = 0;
    int bestDistance = -1;
    for (size_t i = 0; i < count; ++i) {
        const int dr = palette[i].red - colour.red;
        const int dg = palette[i].green - colour.green;
        const int db = palette[i].blue - colour.blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return static_cast<uint8_t>(best);
}

DibHandle MatchDib24ToPalette(DibHandle source, std::span<const DibColor> palette) {
    if (palette.empty())
        return 0;
    palette = palette.first(std::min<size_t>(palette.size(), 256));
    DibLayout from;
    {
        LockedDib locked(source);
        if (!locked || locked.layout().depth != 24)
            return 0;
        from = locked.layout();
    }
    DibHandle result = NewDib(from.width, from.height, 8);
    if (!result)
        return 0;
    if (SetDibColorTable(result, palette) < 0) {
        DisposeHandle(result);
        return 0;
    }
    LockedDib in(source);
    LockedDib out(result);
    if (!in || !out) {
        DisposeHandle(result);
        return 0;
    }
    // Pictures hold few colours, in runs: each colour is searched for once.
    std::unordered_map<uint32_t, uint8_t> known;
    for (int row = 0; row < from.height; ++row) {
        const auto pixels = in.row(row);
        const auto indexes = out.row(row);
        for (int x = 0; x < from.width; ++x) {
            const uint8_t* p = pixels.data() + 3 * x;
            const uint32_t key = p[0] | p[1] << 8 | p[2] << 16;
            auto [at, added] = known.try_emplace(key, 0);
            if (added)
                at->second = NearestPaletteEntry(palette, DibColor{p[0], p[1], p[2], 0});
            indexes[static_cast<size_t>(x)] = at->second;
        }
    }
    return result;
}
