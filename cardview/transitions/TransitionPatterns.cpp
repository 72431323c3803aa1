// Pattern and rain masks.
#include "cardview/transitions/TransitionPatterns.h"

#include "cardview/transitions/TransitionTable.h"

namespace {

using Pattern = std::array<uint8_t, 8>;

constexpr std::array<Pattern, 8> kDiamond = {{
    {0x00, 0x00, 0x10, 0x38, 0x38, 0x10, 0x00, 0x00},
    {0x00, 0x10, 0x18, 0x3C, 0x7C, 0x38, 0x10, 0x00},
    {0x00, 0x10, 0x38, 0x7C, 0xFC, 0x7C, 0x38, 0x10},
    {0x10, 0x38, 0x7C, 0x7E, 0xFF, 0x7C, 0x38, 0x10},
    {0x10, 0x38, 0x7C, 0xFF, 0xFF, 0xFE, 0x7C, 0x38},
    {0x38, 0x7C, 0xFE, 0xFF, 0xFF, 0xFE, 0xFC, 0x78},
    {0x3E, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7C},
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
}};

constexpr std::array<Pattern, 8> kBowTies = {{
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},
    {0xC1, 0xE2, 0x64, 0x38, 0x18, 0x2C, 0x46, 0x83},
    {0xC3, 0xE7, 0x6E, 0x38, 0x38, 0x6C, 0xC6, 0x83},
    {0xC3, 0xE7, 0xFE, 0x78, 0x3C, 0x7E, 0xCF, 0x83},
    {0xC7, 0xEF, 0xFF, 0x7C, 0x7C, 0xFE, 0xEF, 0xC3},
    {0xE7, 0xFF, 0xFF, 0x7E, 0x7E, 0xFF, 0xFF, 0xE7},
    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
}};

}  // namespace

const std::array<uint8_t, 32> kRainSlotOrder = {19, 3,  29, 24, 14, 20, 13, 23, 8,  15, 6,  25, 5,  16, 4,  12,
                                                27, 0,  28, 26, 17, 21, 18, 30, 9,  31, 1,  7,  22, 11, 10, 2};

std::array<uint8_t, 8> PatternRevealRows(int transition, int step) {
    Pattern rows{};
    if (step < 0 || step >= kPatternRevealSteps)
        return rows;
    switch (transition) {
    case kTransDiamondDissolve: return kDiamond[step];
    case kTransBowTies: return kBowTies[step];
    case kTransRazorRight:
        for (int r = 0; r < 8; ++r)
            rows[r] = static_cast<uint8_t>(0x80u >> ((r + step) % 8));
        return rows;
    case kTransRazorLeft:
        for (int r = 0; r < 8; ++r)
            rows[r] = static_cast<uint8_t>(0x01u << ((r + step) % 8));
        return rows;
    default: return rows;
    }
}

MaskBits PatternRevealMask(int transition, int step, int width, int height) {
    MaskBits mask(width, height);
    const Pattern rows = PatternRevealRows(transition, step);
    for (int y = 0; y < mask.height(); ++y) {
        const uint8_t bits = rows[y % 8];
        std::span<uint8_t> row = mask.row(y);
        const int whole = mask.width() / 8;
        for (int b = 0; b < whole; ++b)
            row[b] = bits;
        for (int x = whole * 8; x < mask.width(); ++x)
            if (bits & (0x80u >> (x % 8)))
                mask.Set(x, y);
    }
    return mask;
}

void RainStep(RainTile* tile, int step) {
    for (int t = 0; t < 344; ++t) {
        const int c = kRainSlotOrder[(4 * step + t) % 32];
        const uint8_t nibble = c % 2 == 0 ? 0xF0 : 0x0F;
        const int half = c / 2;
        int row = 341 - t;
        for (int k = 0; k < 4; ++k, --row) {
            if (row < 0)
                row += kRainTileRows;
            uint8_t* bytes = tile->rows.data() + size_t(row) * kRainTileBytes;
            bytes[half] |= nibble;
            bytes[half + 32] |= nibble;
            bytes[31 - half] |= nibble;
            bytes[63 - half] |= nibble;
        }
    }
}

MaskBits RainMask(const RainTile& tile, int width, int height) {
    MaskBits mask(width, height);
    const int whole = mask.width() / 8;
    for (int y = 0; y < mask.height(); ++y) {
        const uint8_t* source = tile.rows.data() + size_t(y % kRainTileRows) * kRainTileBytes;
        std::span<uint8_t> row = mask.row(y);
        for (int b = 0; b < whole; ++b)
            row[b] = source[b % kRainTileBytes];
        for (int x = whole * 8; x < mask.width(); ++x)
            if (source[(x / 8) % kRainTileBytes] & (0x80u >> (x % 8)))
                mask.Set(x, y);
    }
    return mask;
}
