// Helpers shared by the DIB tests: a MemRefs table per test and DIBs filled with known pixels.
// The bytes of a handle are read with HandleToBytes (core/memory/Handles.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

class DibTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override { FreeMemRefs(); }
};

inline constexpr int kAllDepths[] = {1, 4, 8, 16, 24, 32};

inline void SetHandleBytes(Handle h, const std::vector<uint8_t>& bytes) {
    SetHandleSize(h, static_cast<uint32_t>(bytes.size()));
    HandleLock lock(h);
    std::copy(bytes.begin(), bytes.end(), lock.get());
}

// The rows area of a DIB (or of a Mac rows handle with RowRule::Mac).
inline std::vector<uint8_t> RowsOf(Handle h, RowRule rule = RowRule::Dib) {
    LockedDib locked(h, rule);
    if (!locked)
        return {};
    return {locked.image().begin(), locked.image().end()};
}

// Fills the pixels of every row: pattern 0 random, 1 runs of one value, 2 mixed; row padding
// (the bits past width x depth) stays 0 so that row copies give it back exactly.
inline void FillPixels(DibHandle dib, unsigned seed, int pattern = 0) {
    LockedDib locked(dib);
    ASSERT_TRUE(locked);
    const DibLayout& layout = locked.layout();
    std::mt19937 rng(seed);
    const size_t bits = static_cast<size_t>(layout.width) * layout.depth;
    for (int r = 0; r < layout.height; ++r) {
        auto row = locked.row(r);
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
