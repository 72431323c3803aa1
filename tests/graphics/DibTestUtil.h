// Helpers shared by the DIB tests: a MemRefs table per test, DIBs filled with known pixels,
// and the bytes of a handle.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/Handles.h"
#include "graphics/Dib.h"

class DibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override { FreeMemRefs(); }
};

inline constexpr int kAllDepths[] = {1, 4, 8, 16, 24, 32};

inline std::vector<uint8_t> HandleBytes(Handle h) {
    HandleLock lock(h);
    if (!lock)
        return {};
    return {lock.get(), lock.get() + GetHandleSize(h)};
}

inline void SetHandleBytes(Handle h, const std::vector<uint8_t>& bytes) {
    SetHandleSize(h, static_cast<uint32_t>(bytes.size()));
    HandleLock lock(h);
    std::copy(bytes.begin(), bytes.end(), lock.get());
}

inline Handle HandleWith(const std::vector<uint8_t>& bytes) {
    Handle h = NewHandle(static_cast<uint32_t>(bytes.size()));
    if (h)
        SetHandleBytes(h, bytes);
    return h;
}

// The rows area of a DIB (or of a Mac rows handle with RowRule::Mac).
inline std::vector<uint8_t> RowsOf(Handle h, RowRule rule = RowRule::Dib) {
    auto bytes = HandleBytes(h);
    DibLayout layout;
    if (!ReadDibLayout(bytes, layout, rule))
        return {};
    return {bytes.begin() + layout.bitsOffset, bytes.begin() + layout.bitsOffset + layout.imageBytes};
}

// Fills the pixels of every row: pattern 0 random, 1 runs of one value, 2 mixed; row padding
// (the bits past width x depth) stays 0 so that row copies give it back exactly.
inline void FillPixels(DibHandle dib, unsigned seed, int pattern = 0) {
    HandleLock lock(dib);
    std::span<uint8_t> bytes{lock.get(), GetHandleSize(dib)};
    DibLayout layout;
    ASSERT_TRUE(ReadDibLayout(bytes, layout));
    std::mt19937 rng(seed);
    const size_t bits = static_cast<size_t>(layout.width) * layout.depth;
    for (int r = 0; r < layout.height; ++r) {
        auto row = DibRowAt(bytes, layout, r);
        uint8_t value = static_cast<uint8_t>(rng());
        for (size_t i = 0; i < row.size(); ++i) {
            if (pattern == 1 || (pattern == 2 && (i / 7) % 2 == 0)) {
                if (rng() % 23 == 0)
                    value = static_cast<uint8_t>(rng());
                row[i] = value;
            } else {
                row[i] = static_cast<uint8_t>(rng());
            }
            if (8 * i >= bits)
                row[i] = 0;
            else if (8 * (i + 1) > bits)
                row[i] &= static_cast<uint8_t>(0xFF << (8 * (i + 1) - bits));
        }
    }
}
