// Masks written as pictures in tests: one string per row, '#' for a set pixel, '.' for a clear
// one, so that an expected mask reads as what it shows and a failure prints both pictures.
#pragma once

#include <string>
#include <vector>

#include "graphics/masks/MaskBits.h"

using MaskArt = std::vector<std::string>;

inline MaskBits MaskFromArt(const MaskArt& art) {
    MaskBits mask(art.empty() ? 0 : static_cast<int>(art[0].size()), static_cast<int>(art.size()));
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x)
            mask.Set(x, y, art[y][x] == '#');
    }
    return mask;
}

inline MaskArt ArtOf(const MaskBits& mask) {
    MaskArt art;
    for (int y = 0; y < mask.height(); ++y) {
        std::string row;
        for (int x = 0; x < mask.width(); ++x)
            row += mask.Get(x, y) ? '#' : '.';
        art.push_back(row);
    }
    return art;
}
