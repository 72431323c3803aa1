#include "tests/support/XwdImage.h"

#include <map>

namespace {

uint32_t Big32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint8_t(b[at + 3]);
}
uint16_t Big16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) << 8 | uint8_t(b[at + 1])); }

// A channel of a true-colour pixel widened to 8 bits.
uint32_t Channel(uint32_t pixel, uint32_t mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    const uint32_t top = mask >> shift;
    return (pixel >> shift & top) * 255 / top;
}

// The colour map an XWD file carries, by pixel value.
std::map<uint32_t, uint32_t> ColourMap(const std::string& b) {
    std::map<uint32_t, uint32_t> map;
    if (b.size() < 100)
        return map;
    const uint32_t headerSize = Big32(b, 0), colours = Big32(b, 19 * 4);
    if (headerSize < 100 || b.size() < headerSize || (b.size() - headerSize) / 12 < colours)
        return map;
    for (uint32_t i = 0; i < colours; ++i) {
        const size_t at = headerSize + size_t(i) * 12;
        map[Big32(b, at)] = uint32_t(Big16(b, at + 4) >> 8) << 16 | uint32_t(Big16(b, at + 6) >> 8) << 8 |
                            uint32_t(Big16(b, at + 8) >> 8);
    }
    return map;
}

}  // namespace

bool ReadXwd(const std::string& b, XwdImage* image) {
    *image = XwdImage{};
    constexpr size_t kHeaderFields = 25;
    if (b.size() < kHeaderFields * 4)
        return false;
    const auto field = [&](size_t n) { return Big32(b, n * 4); };
    const uint32_t headerSize = field(0), version = field(1), format = field(2);
    const uint32_t width = field(4), height = field(5), byteOrder = field(7), bitsPerPixel = field(11);
    const uint32_t bytesPerLine = field(12);
    const uint32_t masks[3] = {field(14), field(15), field(16)};
    const uint32_t colours = field(19);
    constexpr uint32_t kZPixmap = 2, kStaticColor = 2, kPseudoColor = 3, kTrueColor = 4, kDirectColor = 5;
    if (version != 7 || format != kZPixmap || headerSize < kHeaderFields * 4 || width == 0 || height == 0 ||
        width > 16384 || height > 16384 || (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 &&
                                            bitsPerPixel != 32) || bytesPerLine < width * (bitsPerPixel / 8))
        return false;
    const size_t mapAt = headerSize, dataAt = mapAt + size_t(colours) * 12;
    if (b.size() < dataAt || (b.size() - dataAt) / bytesPerLine < height)
        return false;
    const std::map<uint32_t, uint32_t> map = ColourMap(b);
    const uint32_t visualClass = field(13);
    const bool indexed = visualClass == kPseudoColor || visualClass == kStaticColor || visualClass < kStaticColor;
    if (!indexed && visualClass != kTrueColor && visualClass != kDirectColor)
        return false;
    const uint32_t step = bitsPerPixel / 8;
    image->width = int(width);
    image->height = int(height);
    image->pixels.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const size_t at = dataAt + size_t(y) * bytesPerLine + size_t(x) * step;
            uint32_t pixel = 0;
            for (uint32_t i = 0; i < step; ++i) {
                const uint32_t byte = uint8_t(b[at + i]);
                pixel |= byteOrder == 0 ? byte << (8 * i) : byte << (8 * (step - 1 - i));
            }
            uint32_t rgb = 0;
            if (indexed) {
                const auto found = map.find(pixel);
                rgb = found == map.end() ? 0xFF000000u : found->second;
            } else {
                rgb = Channel(pixel, masks[0]) << 16 | Channel(pixel, masks[1]) << 8 | Channel(pixel, masks[2]);
            }
            image->pixels[size_t(y) * width + x] = rgb;
        }
    return true;
}
