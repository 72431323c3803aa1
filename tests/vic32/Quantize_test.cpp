// convertrgbtopal: pictures of few colours come back exactly; many colours become at most the
// limit, each pixel on a nearest palette colour and close to where it was; the palette follows
// pixel counts; bad arguments leave the result alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <set>

#include "tests/vic32/VicTestUtil.h"

namespace {

int SquaredGap(const Rgb& a, const Rgb& b) {
    const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

TEST(Quantize, ReproducesPicturesOfFewColoursExactly) {
    for (int count : {1, 2, 17, 256}) {
        SCOPED_TRACE(testing::Message() << count << " colours");
        std::mt19937 rng(count);
        std::set<uint32_t> distinct;
        while (static_cast<int>(distinct.size()) < count)
            distinct.insert(rng() & 0xFFFFFF);
        const std::vector<uint32_t> colors(distinct.begin(), distinct.end());
        // 37 x 29: padded rows; every colour appears.
        OwnedImage source(37, 29, [&](int x, int y) {
            const int i = y * 37 + x;
            return RgbFromValue(colors[i < count ? i : rng() % count]);
        });
        OwnedImage result(37, 29, 8);
        ASSERT_EQ(convertrgbtopal(256, source.get(), result.get()), VIC_OK);
        EXPECT_EQ(result.image.colors, count);
        for (int y = 0; y < 29; ++y) {
            for (int x = 0; x < 37; ++x)
                ASSERT_EQ(PixelAt(result.image, x, y), PixelAt(source.image, x, y)) << "at " << x << "," << y;
        }
        for (int i = count; i < 256; ++i)
            ASSERT_EQ(RgbOf(result.image.palette[i]), Rgb{}) << "unused entry " << i;
    }
}

TEST(Quantize, ReducesManyColoursToTheLimitWithNearestColours) {
    // A smooth picture with a little noise: thousands of distinct colours.
    std::mt19937 rng(7);
    OwnedImage source(80, 60, [&](int x, int y) {
        Rgb c = Smooth(x, y, 80, 60);
        c.red = static_cast<uint8_t>(std::min(255, c.red + static_cast<int>(rng() % 9)));
        return c;
    });
    // A described 8-bit target whose table has 16 entries takes no more than those.
    std::vector<uint8_t> dib = MakeDibBytes({80, 60, 8, false, 16}, [](int, int) { return 0u; });
    VicImage small{};
    ASSERT_EQ(setupimgdes(dib.data(), static_cast<uint32_t>(dib.size()), &small), VIC_OK);
    OwnedImage result(80, 60, 8);
    const struct {
        int limit;
        VicImage* result;
        double meanGapBound;  // per channel, in levels
    } cases[] = {{256, result.get(), 3.0}, {64, result.get(), 6.0}, {256, &small, 12.0}};
    for (const auto& c : cases) {
        const int expected = std::min(c.limit, c.result->paletteSlots);
        SCOPED_TRACE(testing::Message() << expected << " colours");
        ASSERT_EQ(convertrgbtopal(c.limit, source.get(), c.result), VIC_OK);
        EXPECT_EQ(c.result->colors, expected);
        double total = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 80; ++x) {
                const uint8_t index = IndexAt(*c.result, x, y);
                ASSERT_LT(index, c.result->colors);
                const Rgb want = PixelAt(source.image, x, y), got = RgbOf(c.result->palette[index]);
                int best = INT_MAX;
                for (int i = 0; i < c.result->colors; ++i)
                    best = std::min(best, SquaredGap(want, RgbOf(c.result->palette[i])));
                ASSERT_EQ(SquaredGap(want, got), best) << "at " << x << "," << y << ": " << want << " became " << got;
                total += ChannelGap(want, got);
            }
        }
        EXPECT_LT(total / (3 * 80 * 60), c.meanGapBound);
    }
}

TEST(Quantize, PaletteFollowsPixelCountsAndRefusals) {
    // 900 pixels of one colour, 50 each of two near colours far from it: with two entries the
    // lone colour keeps its own and the pair shares their mean; with one, all share the mean.
    OwnedImage source(40, 25, [](int x, int y) {
        const int i = y * 40 + x;
        return i < 900 ? Rgb{200, 30, 30} : i < 950 ? Rgb{10, 100, 200} : Rgb{20, 110, 220};
    });
    OwnedImage result(40, 25, 8);
    ASSERT_EQ(convertrgbtopal(2, source.get(), result.get()), VIC_OK);
    const std::set<uint32_t> two{ValueOf(RgbOf(result.image.palette[0])), ValueOf(RgbOf(result.image.palette[1]))};
    EXPECT_EQ(two, (std::set<uint32_t>{ValueOf({200, 30, 30}), ValueOf({15, 105, 210})}));
    ASSERT_EQ(convertrgbtopal(1, source.get(), result.get()), VIC_OK);
    EXPECT_EQ(RgbOf(result.image.palette[0]), (Rgb{182, 38, 48})) << "181.5, 37.5, 48 rounded";

    OwnedImage rgbResult(40, 25, 24), smaller(40, 24, 8);
    const std::vector<uint8_t> before(result.image.bits, result.image.bits + 40 * 25);
    const struct {
        const char* name;
        int limit;
        VicImage* source;
        VicImage* result;
        int expected;
    } refused[] = {
        {"no colours", 0, source.get(), result.get(), VIC_BAD_ARGUMENT},
        {"257 colours", 257, source.get(), result.get(), VIC_BAD_ARGUMENT},
        {"8-bit source", 256, result.get(), result.get(), VIC_BAD_BITS},
        {"24-bit result", 256, source.get(), rgbResult.get(), VIC_BAD_BITS},
        {"sizes differ", 256, source.get(), smaller.get(), VIC_BAD_SIZE},
        {"no source", 256, nullptr, result.get(), VIC_BAD_ARGUMENT},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(convertrgbtopal(c.limit, c.source, c.result), c.expected) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(result.image.bits, result.image.bits + 40 * 25), before) << c.name;
        EXPECT_EQ(result.image.colors, 1) << c.name;
    }
}

}  // namespace
