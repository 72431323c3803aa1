// What every fuzz target checks with: a broken invariant aborts, so the fuzzer keeps the input.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>

inline void FuzzCheck(bool condition) {
    if (!condition)
        std::abort();
}

// Whether the part (empty, or a span into the whole) lies within the whole.
inline bool FuzzInside(std::span<const uint8_t> part, std::span<const uint8_t> whole) {
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}
