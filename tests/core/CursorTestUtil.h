// Cursor data for the cursor tests: cursor files and animated 'Crsr' data in memory order.
#pragma once

#include <cstdint>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/CursorImages.h"

// A one-image cursor file of size x size at 4 bits: colour 0 black, 1 white, 2 red; pixels by
// quarter (top-left quarter colour 1, the rest colour 2); the mask opaque on the left half.
inline std::vector<uint8_t> CursorFile(int size) {
    const uint32_t xorRow = (4 * size + 31) / 32 * 4, andRow = (size + 31) / 32 * 4;
    std::vector<uint8_t> f(6 + 16 + 40 + 16 * 4 + (xorRow + andRow) * size, 0);
    SetU16(f, 2, 2);
    SetU16(f, 4, 1);
    f[6] = f[7] = static_cast<uint8_t>(size);
    SetU16(f, 10, static_cast<uint16_t>(size / 2));  // hot spot
    SetU16(f, 12, static_cast<uint16_t>(size / 4));
    SetU32(f, 18, 22);
    SetU32(f, 22, 40);
    SetU32(f, 26, size);
    SetU32(f, 30, 2 * size);
    SetU16(f, 36, 4);
    const uint32_t colors = 62;
    for (int c : {1})
        f[colors + c * 4] = f[colors + c * 4 + 1] = f[colors + c * 4 + 2] = 255;
    f[colors + 2 * 4 + 2] = 255;  // red
    const uint32_t xorAt = colors + 64, andAt = xorAt + xorRow * size;
    for (int y = 0; y < size; ++y)      // y counts stored rows, bottom-up
        for (int x = 0; x < size; ++x) {
            const bool topLeft = y >= size / 2 && x < size / 2;
            uint8_t& b = f[xorAt + y * xorRow + x / 2];
            b |= static_cast<uint8_t>((topLeft ? 1 : 2) << (x % 2 ? 0 : 4));
            if (x >= size / 2)
                f[andAt + y * andRow + x / 8] |= static_cast<uint8_t>(0x80 >> x % 8);
        }
    return f;
}

// A 'Crsr' kind 2 in memory order: n frames of still cursor files.
inline std::vector<uint8_t> Animated(const std::vector<uint32_t>& rates, const std::vector<uint32_t>& sequence) {
    const std::vector<uint8_t> frame = CursorFile(16);
    const uint32_t n = static_cast<uint32_t>(rates.size());
    std::vector<uint8_t> d(kCursorHeaderBytes + 36 + 12 * n, 0);
    SetU16(d, 0, kCursorAnimated);
    SetU32(d, kCursorHeaderBytes, 36);
    SetU32(d, kCursorHeaderBytes + 4, n);
    SetU32(d, kCursorHeaderBytes + 8, n);
    for (uint32_t i = 0; i < n; ++i) {
        SetU32(d, kCursorHeaderBytes + 36 + 4 * i, rates[i]);
        SetU32(d, kCursorHeaderBytes + 36 + 4 * (n + i), sequence[i]);
        SetU32(d, kCursorHeaderBytes + 36 + 4 * (2 * n + i), static_cast<uint32_t>(frame.size()));
    }
    for (uint32_t i = 0; i < n; ++i)
        d.insert(d.end(), frame.begin(), frame.end());
    SetU32(d, 2, static_cast<uint32_t>(d.size() - kCursorHeaderBytes));
    return d;
}
