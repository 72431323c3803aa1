// What every fuzz target checks with: a broken invariant aborts, so the fuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/memory/Handles.h"

inline void FuzzCheck(bool condition) {
    if (!condition)
        std::abort();
}

// Whether the part (empty, or a span into the whole) lies within the whole.
inline bool FuzzInside(std::span<const uint8_t> part, std::span<const uint8_t> whole) {
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// Whether the input is taken: no larger than the target's cap. The handle table is made on the
// first call.
inline bool FuzzTakes(size_t size, size_t maxInput) {
    static const bool ready = InitMemRefs();
    FuzzCheck(ready);
    return size <= maxInput;
}
