// What every fuzz target checks with: a broken invariant aborts, so the fuzzer keeps the input.
#pragma once

#include <cstdlib>

inline void FuzzCheck(bool condition) {
    if (!condition)
        std::abort();
}
