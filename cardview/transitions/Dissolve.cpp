// The dissolve mask.
#include "cardview/transitions/Dissolve.h"

#include <algorithm>
#include <bit>

const std::array<uint32_t, kDissolveMaxBits + 1> kDissolveTaps = {
    0,      0,      0x3,     0x6,     0xC,     0x14,     0x30,     0x60,     0xB8,
    0x110,  0x240,  0x500,   0xCA0,   0x1B00,  0x3500,   0x6000,   0xB400,   0x12000,
    0x20400, 0x72000, 0x90000, 0x140000, 0x300000, 0xD80000, 0x1200000, 0x3880000, 0x7200000,
};

void RoundUpToPowerOfTwo(uint16_t* value) {
    uint32_t v = 1;
    while (v < *value)
        v <<= 1;
    *value = static_cast<uint16_t>(v > 0xFFFF ? 0 : v);  // wraps as a 16-bit value would
}

bool InitDissolve(const Rect32& rect, DissolveState* state) {
    *state = {};
    const int64_t w = int64_t{rect.right} - rect.left, h = int64_t{rect.bottom} - rect.top;
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return false;
    uint16_t width = static_cast<uint16_t>(w), height = static_cast<uint16_t>(h);
    RoundUpToPowerOfTwo(&width);
    RoundUpToPowerOfTwo(&height);
    width = std::max<uint16_t>(width, 32);
    const uint32_t area = uint32_t{width} * height;
    const int bits = std::countr_zero(area);
    if (bits > kDissolveMaxBits)
        return false;
    state->width = width;
    state->height = height;
    state->realWidth = static_cast<int>(w);
    state->realHeight = static_cast<int>(h);
    state->rowBytes = width / 8;
    state->bits = bits;
    state->mask.assign(area / 8, 0);
    state->remaining = area - 1;
    state->shift = 1;
    state->taps = kDissolveTaps[bits];
    return true;
}

uint32_t DissolveShare(const DissolveState& state) {
    return (uint32_t(state.width) * uint32_t(state.height) - 1) / 16 + 1;
}

void DissolveStep(DissolveState* state, uint32_t count) {
    if (state->mask.empty())
        return;
    const uint32_t k = std::min(count, state->remaining);
    state->remaining -= k;
    const uint32_t limit = static_cast<uint32_t>(state->mask.size()) * 8;
    for (uint32_t i = 1; i < k; ++i) {
        const uint32_t index = state->shift;
        if (index < limit)
            state->mask[index / 8] |= static_cast<uint8_t>(0x80u >> (index % 8));
        const bool out = state->shift & 1;
        state->shift >>= 1;
        if (out)
            state->shift ^= state->taps;
    }
    if (state->remaining == 0)
        std::fill(state->mask.begin(), state->mask.end(), uint8_t{0xFF});
}

void EndDissolve(DissolveState* state) { *state = {}; }

bool DissolvePixelSet(const DissolveState& state, int x, int y) {
    if (x < 0 || y < 0 || x >= state.width || y >= state.height)
        return false;
    return state.mask[size_t(y) * state.rowBytes + x / 8] & (0x80u >> (x % 8));
}
