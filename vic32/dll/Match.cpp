// Matching an image to a given palette: nearest colour by plain or weighted distance, or
// Floyd-Steinberg error diffusion.
#include <algorithm>
#include <bit>
#include <cstring>

#include "vic32/dll/VicLib.h"

namespace {

// Direct-mapped memory of recent answers: pictures repeat their colours heavily. A small image
// gets no more slots than it has pixels (64 at least), so that making them costs little.
constexpr int kMostCacheBits = 15, kLeastCacheBits = 6;
constexpr uint32_t kNoKey = 0xFFFFFFFF;  // never a colour: colours have 24 bits

int CacheBits(uint64_t pixels) {
    return std::clamp(static_cast<int>(std::bit_width(pixels)), kLeastCacheBits, kMostCacheBits);
}
uint32_t CacheSlot(uint32_t rgb, uint32_t shift) { return (rgb * 2654435761u) >> shift; }

int Red(uint32_t rgb) { return static_cast<int>(rgb >> 16 & 0xFF); }
int Green(uint32_t rgb) { return static_cast<int>(rgb >> 8 & 0xFF); }
int Blue(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

int Clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Error sums are kept in sixteenths; this rounds them to whole levels, halves away from zero.
int Sixteenths(int e) { return e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16); }


// Serpentine Floyd-Steinberg: 7/16 of a pixel's error to the next pixel on its row, 3/16, 5/16
// and 1/16 to the three below. Errors that would leave the picture are dropped. A pixel that
// is a palette colour and receives no error keeps its exact index.
int MatchDiffused(const VicImage& source, VicImage& result, VicNearest& nearest) {
    const int32_t width = source.width;
    std::vector<uint32_t> row(static_cast<size_t>(width));
    // Errors of the current and the next row, three channels a pixel, one spare pixel each side.
    const size_t span = (static_cast<size_t>(width) + 2) * 3;
    std::vector<int> here(span, 0), below(span, 0);
    for (int32_t y = 0; y < source.height; ++y) {
        VicReadRowRgb(source, y, row.data());
        uint8_t* out = VicRow(result, y);
        const bool leftToRight = y % 2 == 0;
        const int step = leftToRight ? 1 : -1;
        std::fill(below.begin(), below.end(), 0);
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = leftToRight ? i : width - 1 - i;
            int* e = &here[(static_cast<size_t>(x) + 1) * 3];
            const int want[3] = {Clamp255(Red(row[x]) + Sixteenths(e[0])),
                                 Clamp255(Green(row[x]) + Sixteenths(e[1])),
                                 Clamp255(Blue(row[x]) + Sixteenths(e[2]))};
            const uint8_t index = nearest.Find(VicRgb(static_cast<uint8_t>(want[0]), static_cast<uint8_t>(want[1]),
                                                      static_cast<uint8_t>(want[2])));
            out[x] = index;
            const uint32_t got = nearest.ColorAt(index);
            const int error[3] = {want[0] - Red(got), want[1] - Green(got), want[2] - Blue(got)};
            int* ahead = e + 3 * step;
            int* under = &below[(static_cast<size_t>(x) + 1) * 3];
            for (int c = 0; c < 3; ++c) {
                ahead[c] += 7 * error[c];
                under[c - 3 * step] += 3 * error[c];
                under[c] += 5 * error[c];
                under[c + 3 * step] += error[c];
            }
        }
        here.swap(below);
    }
    return VIC_OK;
}

int Match(const VicImage* source, VicImage* result, int32_t mode) {
    if (!VicImageOk(source) || !VicImageOk(result))
        return VIC_BAD_ARGUMENT;
    if (result->bitsPerPixel != 8)
        return VIC_BAD_BITS;
    if (source->width != result->width || source->height != result->height)
        return VIC_BAD_SIZE;
    if (result->colors < 1)
        return VIC_BAD_PALETTE;
    if (mode != VIC_MATCH_NEAREST && mode != VIC_MATCH_DIFFUSE && mode != VIC_MATCH_PERCEPTUAL)
        return VIC_BAD_MODE;
    return VicGuarded([&]() -> int {
        // The palette is copied before any pixel is written, so the source may be the result.
        VicNearest nearest({result->palette, static_cast<size_t>(result->colors)},
                           mode == VIC_MATCH_PERCEPTUAL ? VicNearest::Distance::Perceptual
                                                        : VicNearest::Distance::Plain,
                           uint64_t(source->width) * uint64_t(source->height));
        return mode == VIC_MATCH_DIFFUSE ? MatchDiffused(*source, *result, nearest)
                                         : VicMatchNearest(*source, *result, nearest);
    });
}

}  // namespace

VicNearest::VicNearest(std::span<const VicColor> palette, Distance distance, uint64_t pixels)
    : distance_(distance), cacheShift_(32 - CacheBits(pixels)), cacheKeys_(size_t{1} << CacheBits(pixels), kNoKey),
      cacheIndexes_(cacheKeys_.size(), 0) {
    colors_.reserve(VIC_PALETTE_SLOTS);
    for (const VicColor& c : palette.first(std::min<size_t>(palette.size(), VIC_PALETTE_SLOTS)))
        colors_.push_back(VicRgbOf(c));
    // Index 0 of an empty palette: Find always has an answer to give.
    if (colors_.empty())
        colors_.push_back(0);
}

uint8_t VicNearest::Find(uint32_t rgb) {
    const uint32_t slot = CacheSlot(rgb, cacheShift_);
    if (cacheKeys_[slot] != rgb) {
        cacheKeys_[slot] = rgb;
        cacheIndexes_[slot] = Search(rgb);
    }
    return cacheIndexes_[slot];
}

uint8_t VicNearest::Search(uint32_t rgb) const {
    const int r = Red(rgb), g = Green(rgb), b = Blue(rgb);
    int64_t best = INT64_MAX;
    size_t bestIndex = 0;
    for (size_t i = 0; i < colors_.size(); ++i) {
        const int dr = r - Red(colors_[i]), dg = g - Green(colors_[i]), db = b - Blue(colors_[i]);
        int64_t d;
        if (distance_ == Distance::Plain) {
            d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
        } else {
            // Red-weighted ("redmean") distance: blue differences matter more in dark reds,
            // red differences more in bright ones, green always most.
            const int meanRed = (r + Red(colors_[i])) / 2;
            d = int64_t{512 + meanRed} * dr * dr + int64_t{1024} * dg * dg + int64_t{767 - meanRed} * db * db;
        }
        if (d < best) {
            best = d;
            bestIndex = i;
            if (d == 0)
                break;
        }
    }
    return static_cast<uint8_t>(bestIndex);
}

int VICAPI matchcolorimage(const VicImage* source, VicImage* result) {
    return Match(source, result, VIC_MATCH_NEAREST);
}

int VICAPI matchcolorimageex(const VicImage* source, VicImage* result, int32_t mode) {
    return Match(source, result, mode);
}

int VicMatchNearest(const VicImage& source, VicImage& result, VicNearest& nearest) {
    std::vector<uint32_t> row(static_cast<size_t>(source.width));
    for (int32_t y = 0; y < source.height; ++y) {
        VicReadRowRgb(source, y, row.data());
        uint8_t* out = VicRow(result, y);
        for (int32_t x = 0; x < source.width; ++x)
            out[x] = nearest.Find(row[x]);
    }
    return VIC_OK;
}
