// The pseudo-random dissolve: a one-bit mask over the transition rectangle, filled in a few
// shares by a linear feedback shift register that visits every pixel index once. The mask
// covers a power-of-two area: the width and height are raised to powers of two, the width to
// at least 32 so that its rows are whole 32-bit rows, as a one-bit DIB lays them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/memory/ShortRect.h"

// Tap masks by m = log2(W x H), m = 0..26.
inline constexpr int kDissolveMaxBits = 26;
extern const std::array<uint32_t, kDissolveMaxBits + 1> kDissolveTaps;

// Smallest power of two not below the value; 0 and 1 give 1. Values above 32768 wrap to 0 (the
// callers' sizes are at most 32767).
void RoundUpToPowerOfTwo(uint16_t* value);

struct DissolveState {
    std::vector<uint8_t> mask;  // rowBytes x height bytes, top row first, 0x80 the leftmost pixel
    int rowBytes = 0;           // width / 8
    int width = 0;              // W: the rectangle's width raised to a power of two, at least 32
    int height = 0;             // H: the height raised to a power of two
    int realWidth = 0, realHeight = 0;  // the rectangle's own
    int bits = 0;               // m
    uint32_t remaining = 0;
    uint32_t shift = 1;
    uint32_t taps = 0;
};

// Readies the state for a rectangle (its own size counts; its position does not). False, with
// an empty state, for an empty rectangle or one whose area needs more than 26 bits.
bool InitDissolve(const Rect32& rect, DissolveState* state);
// The share per step of a 16-step dissolve: (W x H - 1) / 16 + 1.
uint32_t DissolveShare(const DissolveState& state);
// Sets up to count more pixels: k = min(count, remaining) is taken off remaining and k - 1
// register values are set. When remaining reaches 0 the whole mask is set, so the values left
// over by the k - 1 rule and index 0, which the register never takes, show too.
void DissolveStep(DissolveState* state, uint32_t count);
void EndDissolve(DissolveState* state);

// Whether a pixel of the mask is set (outside: false).
bool DissolvePixelSet(const DissolveState& state, int x, int y);
