// The X server's picture of a screen as xwd writes it (its "XWD" file, version 7), read into
// 0x00RRGGBB pixels, top row first, whatever the display's depth: true colour through the
// visual's masks, an indexed display through the colour map the file carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XwdImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    // 0xFF000000 outside the picture, so that a point off it never matches a colour.
    uint32_t At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height ? pixels[size_t(y) * size_t(width) + size_t(x)] : 0xFF000000u;
    }
};

// False (and an empty image) for a file that is not a whole ZPixmap XWD of 8 to 32 bits a pixel.
bool ReadXwd(const std::string& bytes, XwdImage* image);
