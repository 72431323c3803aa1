// Helpers shared by the imaging library's tests: packed DIBs built byte by byte, images that free
// themselves, and pixels read through the descriptor's published layout (bits, rowBytes,
// topDown), never through the library's own code.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <ostream>
#include <vector>

#include "tests/support/Rgb.h"
#include "vic32/Vic32.h"

inline int ChannelGap(const Rgb& a, const Rgb& b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

inline Rgb RgbOf(const VicColor& c) { return {c.red, c.green, c.blue}; }
inline VicColor VicOf(const Rgb& c) { return {c.blue, c.green, c.red, 0}; }
inline Rgb RgbFromValue(uint32_t v) { return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }
inline uint32_t ValueOf(const Rgb& c) { return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue; }
inline int ExpectedRowBytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

// Row y counted from the top.
inline uint8_t* RowFromTop(const VicImage& image, int y) {
    return image.bits + static_cast<size_t>(image.topDown ? y : image.height - 1 - y) * image.rowBytes;
}
inline uint8_t IndexAt(const VicImage& image, int x, int y) { return RowFromTop(image, y)[x]; }
inline Rgb PixelAt(const VicImage& image, int x, int y) {
    const uint8_t* row = RowFromTop(image, y);
    return image.bitsPerPixel == 24 ? Rgb{row[3 * x + 2], row[3 * x + 1], row[3 * x]} : RgbOf(image.palette[row[x]]);
}
inline void SetPixel(VicImage& image, int x, int y, const Rgb& c) {
    uint8_t* p = RowFromTop(image, y) + 3 * x;
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
}
inline void SetPalette(VicImage& image, const std::vector<Rgb>& colors) {
    for (size_t i = 0; i < colors.size(); ++i)
        image.palette[i] = VicOf(colors[i]);
    image.colors = static_cast<int32_t>(colors.size());
}

// An image made by the library, freed at the end of the scope.
struct OwnedImage {
    OwnedImage() = default;
    OwnedImage(int width, int height, int bits) {
        EXPECT_EQ(allocimage(&image, width, height, bits), VIC_OK) << width << "x" << height << "x" << bits;
    }
    OwnedImage(int width, int height, const std::function<Rgb(int, int)>& pixel) : OwnedImage(width, height, 24) {
        for (int y = 0; y < height && image.bits; ++y) {
            for (int x = 0; x < width; ++x)
                SetPixel(image, x, y, pixel(x, y));
        }
    }
    ~OwnedImage() { freeimage(&image); }
    OwnedImage(const OwnedImage&) = delete;
    OwnedImage& operator=(const OwnedImage&) = delete;
    VicImage* get() { return &image; }
    VicImage image{};
};

// The bytes of a packed DIB: a 40-byte info header, `tableEntries` colours from tableColor
// (their count written as biClrUsed unless `fullTable`), the rows bottom row first unless
// topDown. value(x, y) is an index for 8 bits, 0xRRGGBB for 24.
struct DibSpec {
    int width = 1;
    int height = 1;
    int bits = 24;
    bool topDown = false;
    uint32_t tableEntries = 0;
    bool fullTable = false;
};

inline std::vector<uint8_t> MakeDibBytes(const DibSpec& s, const std::function<uint32_t(int, int)>& value,
                                         const std::function<Rgb(int)>& tableColor = {}) {
    const int rowBytes = ExpectedRowBytes(s.width, s.bits);
    const size_t bitsAt = 40 + 4 * s.tableEntries;
    std::vector<uint8_t> dib(bitsAt + static_cast<size_t>(rowBytes) * s.height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dib[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(s.width));
    put32(8, static_cast<uint32_t>(s.topDown ? -s.height : s.height));
    dib[12] = 1;
    dib[14] = static_cast<uint8_t>(s.bits);
    put32(32, s.fullTable ? 0 : s.tableEntries);
    for (uint32_t i = 0; i < s.tableEntries && tableColor; ++i) {
        const VicColor c = VicOf(tableColor(static_cast<int>(i)));
        std::memcpy(&dib[40 + 4 * i], &c, 4);
    }
    for (int y = 0; y < s.height; ++y) {
        uint8_t* row = dib.data() + bitsAt + static_cast<size_t>(s.topDown ? y : s.height - 1 - y) * rowBytes;
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = value(x, y);
            if (s.bits == 8) {
                row[x] = static_cast<uint8_t>(v);
            } else {
                const Rgb c = RgbFromValue(v);
                row[3 * x] = c.blue;
                row[3 * x + 1] = c.green;
                row[3 * x + 2] = c.red;
            }
        }
    }
    return dib;
}

// A smooth picture: gradients across and down, so that flipped or shifted rows show at once.
inline Rgb Smooth(int x, int y, int width, int height) {
    return {static_cast<uint8_t>(40 + 180 * x / width), static_cast<uint8_t>(30 + 200 * y / height),
            static_cast<uint8_t>(200 - 150 * (x + y) / (width + height))};
}
