// A run's screenshots read as pixels and compared (Shots_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace browsertest {

// The pixels of a PNG file as 0x00RRGGBB, top row first, read through the Windows Imaging
// Component; empty when it cannot be read.
std::vector<uint32_t> PngPixels(const std::string& path, UINT* width, UINT* height);
// A screenshot's pixels; At gives 0xFF000000 outside it, so a shot of the wrong size fails.
struct Shot {
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    explicit Shot(const std::string& path) { pixels = PngPixels(path, &width, &height); }
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && UINT(x) < width && UINT(y) < height ? pixels[size_t(y) * width + size_t(x)] : 0xFF000000u;
    }
};
// How many pixels of the rectangle, every step-th across and down, differ between two shots; the
// first of them ("X,Y was -> is") in *first when asked.
int Differing(const Shot& a, const Shot& b, RECT r, std::string* first = nullptr, int step = 1);
// Each channel of a 0x00RRGGBB pixel within slack of the wanted red, green and blue.
bool NearRgb(uint32_t got, int red, int green, int blue, int slack);
// A pixel as six hexadecimal digits, for failure messages.
std::string Hex(uint32_t pixel);

}  // namespace browsertest
