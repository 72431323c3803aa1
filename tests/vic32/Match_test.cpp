// Matching to a given palette: in every mode a palette colour gets its own first index (from a
// 24-bit source, and from an 8-bit one read through its own palette) and no index lies past the
// colours in use; the nearest mode picks a nearest colour; error diffusion keeps the mean colour
// of areas no palette colour matches; bad arguments leave the result alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "tests/vic32/VicTestUtil.h"

namespace {

const struct {
    const char* name;
    int mode;  // 0: matchcolorimage
} kModes[] = {{"matchcolorimage", 0}, {"nearest", VIC_MATCH_NEAREST}, {"diffuse", VIC_MATCH_DIFFUSE},
              {"perceptual", VIC_MATCH_PERCEPTUAL}};

int MatchIn(int mode, VicImage* source, VicImage* result) {
    return mode == 0 ? matchcolorimage(source, result) : matchcolorimageex(source, result, mode);
}

std::vector<Rgb> RandomColors(unsigned seed, int count) {
    std::mt19937 rng(seed);
    std::vector<Rgb> colors;
    for (int i = 0; i < count; ++i)
        colors.push_back(RgbFromValue(rng() & 0xFFFFFF));
    return colors;
}

TEST(Match, PaletteColoursGetTheirOwnFirstIndex) {
    std::vector<Rgb> palette = RandomColors(1, 256);
    palette[200] = palette[10];  // a colour twice: the first index wins
    std::mt19937 rng(2);
    std::vector<uint8_t> chosen(31 * 23);
    for (uint8_t& i : chosen)
        i = static_cast<uint8_t>(rng());
    OwnedImage rgb(31, 23, [&](int x, int y) { return palette[chosen[y * 31 + x]]; });
    // The same picture as indexes into the palette reversed.
    OwnedImage indexed(31, 23, 8);
    SetPalette(indexed.image, std::vector<Rgb>(palette.rbegin(), palette.rend()));
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 31; ++x)
            RowFromTop(indexed.image, y)[x] = static_cast<uint8_t>(255 - chosen[y * 31 + x]);
    }
    for (VicImage* source : {rgb.get(), indexed.get()}) {
        for (const auto& m : kModes) {
            SCOPED_TRACE(testing::Message() << m.name << " from " << source->bitsPerPixel << " bits");
            OwnedImage result(31, 23, 8);
            SetPalette(result.image, palette);
            ASSERT_EQ(MatchIn(m.mode, source, result.get()), VIC_OK);
            for (int y = 0; y < 23; ++y) {
                for (int x = 0; x < 31; ++x) {
                    const int want = chosen[y * 31 + x] == 200 ? 10 : chosen[y * 31 + x];
                    ASSERT_EQ(IndexAt(result.image, x, y), want) << "at " << x << "," << y;
                }
            }
        }
    }
}

TEST(Match, IndexesStayAmongTheColoursInUse) {
    // 16 colours in use; the slots past them hold the picture's exact colours as a trap.
    std::mt19937 rng(3);
    OwnedImage source(40, 30, [&](int, int) { return RgbFromValue(rng() & 0xFFFFFF); });
    const std::vector<Rgb> palette = RandomColors(4, 16);
    for (const auto& m : kModes) {
        SCOPED_TRACE(m.name);
        OwnedImage result(40, 30, 8);
        for (int i = 16; i < 256; ++i)
            result.image.palette[i] = VicOf(PixelAt(source.image, i % 40, i / 40));
        SetPalette(result.image, palette);
        ASSERT_EQ(MatchIn(m.mode, source.get(), result.get()), VIC_OK);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const uint8_t index = IndexAt(result.image, x, y);
                ASSERT_LT(index, 16) << "at " << x << "," << y;
                if (m.mode != 0 && m.mode != VIC_MATCH_NEAREST)
                    continue;
                const Rgb want = PixelAt(source.image, x, y);
                auto gap = [&](const Rgb& c) {
                    const int dr = c.red - want.red, dg = c.green - want.green, db = c.blue - want.blue;
                    return dr * dr + dg * dg + db * db;
                };
                int best = INT_MAX;
                for (const Rgb& c : palette)
                    best = std::min(best, gap(c));
                ASSERT_EQ(gap(palette[index]), best) << "at " << x << "," << y << ": " << want;
            }
        }
    }
}

TEST(Match, DiffusionKeepsTheMeanColourOfAnArea) {
    // Grey 100 against black and white: the nearest colour is black everywhere, while error
    // diffusion mixes white in at about 100 parts in 255.
    OwnedImage grey(64, 64, [](int, int) { return Rgb{100, 100, 100}; });
    auto meanLevel = [&](int mode) {
        OwnedImage result(64, 64, 8);
        SetPalette(result.image, {{0, 0, 0}, {255, 255, 255}});
        EXPECT_EQ(matchcolorimageex(grey.get(), result.get(), mode), VIC_OK);
        double sum = 0;
        for (int i = 0; i < 64 * 64; ++i)
            sum += PixelAt(result.image, i % 64, i / 64).green;
        return sum / (64 * 64);
    };
    EXPECT_EQ(meanLevel(VIC_MATCH_NEAREST), 0.0);
    EXPECT_EQ(meanLevel(VIC_MATCH_PERCEPTUAL), 0.0);
    EXPECT_NEAR(meanLevel(VIC_MATCH_DIFFUSE), 100.0, 2.0);

    // A ramp over eight greys 36 apart: each 8 x 8 block keeps its mean within a few levels.
    OwnedImage ramp(64, 16, [](int x, int) { return Rgb{uint8_t(x * 4), uint8_t(x * 4), uint8_t(x * 4)}; });
    OwnedImage result(64, 16, 8);
    std::vector<Rgb> greys;
    for (int i = 0; i < 8; ++i)
        greys.push_back({uint8_t(i * 36), uint8_t(i * 36), uint8_t(i * 36)});
    SetPalette(result.image, greys);
    ASSERT_EQ(matchcolorimageex(ramp.get(), result.get(), VIC_MATCH_DIFFUSE), VIC_OK);
    for (int block = 0; block < 16; ++block) {
        double got = 0, want = 0;
        for (int i = 0; i < 64; ++i) {
            const int x = block % 8 * 8 + i % 8, y = block / 8 * 8 + i / 8;
            got += PixelAt(result.image, x, y).green;
            want += PixelAt(ramp.image, x, y).green;
        }
        EXPECT_NEAR(got / 64, want / 64, 4.0) << "block " << block;
    }
}

TEST(Match, RefusesAndLeavesTheResult) {
    OwnedImage rgb(6, 5, [](int x, int y) { return Rgb{uint8_t(x * 9), uint8_t(y * 9), 1}; });
    OwnedImage rgbResult(6, 5, 24), result(6, 5, 8), smaller(5, 5, 8), empty(6, 5, 8);
    empty.image.colors = 0;
    std::fill(result.image.bits, result.image.bits + result.image.rowBytes * 5, uint8_t{0xEE});
    const struct {
        const char* name;
        VicImage* source;
        VicImage* result;
        int mode;
        int expected;
    } cases[] = {
        {"mode 0", rgb.get(), result.get(), 0, VIC_BAD_MODE},
        {"mode 4", rgb.get(), result.get(), 4, VIC_BAD_MODE},
        {"24-bit result", rgb.get(), rgbResult.get(), VIC_MATCH_NEAREST, VIC_BAD_BITS},
        {"sizes differ", rgb.get(), smaller.get(), VIC_MATCH_DIFFUSE, VIC_BAD_SIZE},
        {"no colours in use", rgb.get(), empty.get(), VIC_MATCH_NEAREST, VIC_BAD_PALETTE},
        {"no source", nullptr, result.get(), VIC_MATCH_NEAREST, VIC_BAD_ARGUMENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(matchcolorimageex(c.source, c.result, c.mode), c.expected) << c.name;
    for (int i = 0; i < result.image.rowBytes * 5; ++i)
        ASSERT_EQ(result.image.bits[i], 0xEE) << "byte " << i;
}

}  // namespace
