// In-place byte swaps for values kept in stack-file (big-endian) order inside records.
// The pointers need no alignment.
#pragma once

#include <cstdint>

inline void SwapInPlace16(void* p) {
    auto* b = static_cast<uint8_t*>(p);
    const uint8_t t = b[0];
    b[0] = b[1];
    b[1] = t;
}

inline void SwapInPlace32(void* p) {
    auto* b = static_cast<uint8_t*>(p);
    uint8_t t = b[0];
    b[0] = b[3];
    b[3] = t;
    t = b[1];
    b[1] = b[2];
    b[2] = t;
}
