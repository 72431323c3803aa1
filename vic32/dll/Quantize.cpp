// convertrgbtopal: a palette of the picture's own. The distinct colours are counted; when there
// are few enough they are the palette. Otherwise the colours are cut into boxes: each time the
// box with the largest squared error is split along its widest channel where the two halves'
// errors add up least, until there are as many boxes as colours wanted. Each box gives the
// pixel-weighted mean of its colours. Every pixel then takes its nearest palette colour.
#include <algorithm>
#include <array>
#include <cmath>

#include "vic32/dll/VicLib.h"

namespace {

struct Tally {
    uint32_t rgb;
    uint32_t count;
};

int Channel(uint32_t rgb, int c) { return static_cast<int>(rgb >> (16 - 8 * c) & 0xFF); }

// Running sums over a range of tallies, enough for their mean and squared error.
struct Sums {
    double weight = 0;
    std::array<double, 3> sum{};
    std::array<double, 3> squares{};

    void Add(const Tally& t) {
        weight += t.count;
        for (int c = 0; c < 3; ++c) {
            const double v = Channel(t.rgb, c);
            sum[c] += v * t.count;
            squares[c] += v * v * t.count;
        }
    }
    double Error(int c) const { return weight > 0 ? squares[c] - sum[c] * sum[c] / weight : 0; }
    double Error() const { return Error(0) + Error(1) + Error(2); }
    Sums Minus(const Sums& part) const {
        Sums rest = *this;
        rest.weight -= part.weight;
        for (int c = 0; c < 3; ++c) {
            rest.sum[c] -= part.sum[c];
            rest.squares[c] -= part.squares[c];
        }
        return rest;
    }
    uint32_t Mean() const {
        uint8_t v[3];
        for (int c = 0; c < 3; ++c)
            v[c] = static_cast<uint8_t>(std::clamp(std::lround(sum[c] / weight), 0L, 255L));
        return VicRgb(v[0], v[1], v[2]);
    }
};

struct Box {
    size_t begin;
    size_t end;
    Sums sums;
};

Sums SumsOf(const std::vector<Tally>& tallies, size_t begin, size_t end) {
    Sums s;
    for (size_t i = begin; i < end; ++i)
        s.Add(tallies[i]);
    return s;
}

// The distinct colours of the picture with their pixel counts, in colour order.
std::vector<Tally> CountColors(const VicImage& source) {
    std::vector<uint32_t> pixels(static_cast<size_t>(source.width) * static_cast<size_t>(source.height));
    for (int32_t y = 0; y < source.height; ++y)
        VicReadRowRgb(source, y, pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(source.width));
    std::sort(pixels.begin(), pixels.end());
    std::vector<Tally> tallies;
    for (uint32_t rgb : pixels) {
        if (tallies.empty() || tallies.back().rgb != rgb)
            tallies.push_back({rgb, 0});
        ++tallies.back().count;
    }
    return tallies;
}

// Splits the box in two where the summed squared error of the halves is least, along the
// channel of largest error. The box holds at least two colours.
std::pair<Box, Box> Split(std::vector<Tally>& tallies, const Box& box) {
    int channel = 0;
    for (int c = 1; c < 3; ++c) {
        if (box.sums.Error(c) > box.sums.Error(channel))
            channel = c;
    }
    std::sort(tallies.begin() + static_cast<ptrdiff_t>(box.begin), tallies.begin() + static_cast<ptrdiff_t>(box.end),
              [channel](const Tally& a, const Tally& b) {
                  const int va = Channel(a.rgb, channel), vb = Channel(b.rgb, channel);
                  return va != vb ? va < vb : a.rgb < b.rgb;
              });
    Sums left;
    size_t bestCut = box.begin + 1;
    double bestError = INFINITY;
    for (size_t cut = box.begin + 1; cut < box.end; ++cut) {
        left.Add(tallies[cut - 1]);
        // Only between different values of the channel, where there is one.
        if (Channel(tallies[cut - 1].rgb, channel) == Channel(tallies[cut].rgb, channel))
            continue;
        const double error = left.Error() + box.sums.Minus(left).Error();
        if (error < bestError) {
            bestError = error;
            bestCut = cut;
        }
    }
    Box low{box.begin, bestCut, SumsOf(tallies, box.begin, bestCut)};
    Box high{bestCut, box.end, box.sums.Minus(low.sums)};
    return {low, high};
}

std::vector<uint32_t> CutPalette(std::vector<Tally>& tallies, size_t wanted) {
    std::vector<Box> boxes{{0, tallies.size(), SumsOf(tallies, 0, tallies.size())}};
    while (boxes.size() < wanted) {
        size_t worst = boxes.size();
        double worstError = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2)
                continue;
            const double error = boxes[i].sums.Error();
            if (worst == boxes.size() || error > worstError) {
                worst = i;
                worstError = error;
            }
        }
        if (worst == boxes.size())
            break;
        auto [low, high] = Split(tallies, boxes[worst]);
        boxes[worst] = low;
        boxes.push_back(high);
    }
    std::vector<uint32_t> palette;
    for (const Box& box : boxes)
        palette.push_back(box.sums.Mean());
    return palette;
}

int Convert(int32_t maxColors, const VicImage& source, VicImage& result) {
    std::vector<Tally> tallies = CountColors(source);
    const size_t wanted = static_cast<size_t>(std::min(maxColors, result.paletteSlots));
    std::vector<uint32_t> palette;
    if (tallies.size() <= wanted) {
        for (const Tally& t : tallies)
            palette.push_back(t.rgb);
    } else {
        palette = CutPalette(tallies, wanted);
    }

    std::vector<VicColor> table;
    for (uint32_t rgb : palette)
        table.push_back(VicColorOf(rgb));
    VicNearest nearest(table, VicNearest::Distance::Plain, uint64_t(source.width) * uint64_t(source.height));
    VicMatchNearest(source, result, nearest);
    std::fill(result.palette, result.palette + result.paletteSlots, VicColor{});
    std::copy(table.begin(), table.end(), result.palette);
    result.colors = static_cast<int32_t>(table.size());
    return VIC_OK;
}

}  // namespace

int VICAPI convertrgbtopal(int32_t maxColors, const VicImage* source, VicImage* result) {
    if (!VicImageOk(source) || !VicImageOk(result))
        return VIC_BAD_ARGUMENT;
    if (source->bitsPerPixel != 24 || result->bitsPerPixel != 8)
        return VIC_BAD_BITS;
    if (source->width != result->width || source->height != result->height)
        return VIC_BAD_SIZE;
    if (maxColors < 1 || maxColors > VIC_PALETTE_SLOTS)
        return VIC_BAD_ARGUMENT;
    return VicGuarded([&]() -> int { return Convert(maxColors, *source, *result); });
}
