// CopyBits over pixel rows: rectangles that reach past either map touch only what lies inside
// (guard bytes around both maps stay), rows kept bottom up are addressed from their top, the
// blend weighs each channel by the operation colour, and a clip limits what is written.
#include "quicktime/dll/QtStandInPixels.h"

#include <gtest/gtest.h>

#include <vector>

#include "quicktime/QtCalls.h"

namespace {

constexpr int kGuard = 16;

// A map with guard bytes before and after its rows.
struct Map {
    std::vector<uint8_t> bytes;
    StandInPixels pixels;
    Map(int width, int height, int bits, bool bottomUp, uint8_t fill) {
        const int row = (width * bits / 8 + 3) & ~3;
        bytes.assign(size_t(kGuard * 2 + row * height), 0xEE);
        std::fill(bytes.begin() + kGuard, bytes.end() - kGuard, fill);
        uint8_t* first = bytes.data() + kGuard;
        pixels = {bottomUp ? first + row * (height - 1) : first, bottomUp ? -row : row, width, height, bits};
    }
    bool GuardsIntact() const {
        for (int i = 0; i < kGuard; ++i)
            if (bytes[size_t(i)] != 0xEE || bytes[bytes.size() - 1 - size_t(i)] != 0xEE)
                return false;
        return true;
    }
    std::vector<int> At(int x, int y) const {
        uint8_t bgr[3];
        StandInGetPixel(pixels, x, y, bgr);
        return {bgr[0], bgr[1], bgr[2]};
    }
};

TEST(QtStandInPixels, CopiesScalesBlendsAndClipsWithinBothMaps) {
    Map source(4, 3, 32, false, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint8_t bgr[3] = {uint8_t(x * 60), uint8_t(y * 100), 200};
            StandInSetPixel(source.pixels, x, y, bgr);
        }

    // Twice the size into a 24-bit map kept bottom up, reaching past it on every side.
    Map wide(5, 4, 24, true, 7);
    const QtRect all = {0, 0, 3, 4};
    const QtRect past = {-2, -2, 4, 6};  // source pixel (0, 0) lands at (-2, -2)
    ASSERT_TRUE(StandInCopyPixels(source.pixels, wide.pixels, all, past, kQtSrcCopyMode, {}, nullptr));
    EXPECT_EQ(wide.At(0, 0), (std::vector<int>{60, 100, 200})) << "(0, 0) shows source (1, 1)";
    EXPECT_EQ(wide.At(4, 3), (std::vector<int>{180, 200, 200})) << "(4, 3) shows source (3, 2)";
    EXPECT_TRUE(wide.GuardsIntact());

    // A source rectangle past the source reads nothing beyond it.
    Map small(4, 3, 32, false, 9);
    const QtRect beyond = {1, 2, 6, 9};
    ASSERT_TRUE(StandInCopyPixels(source.pixels, small.pixels, beyond, all, kQtSrcCopyMode, {}, nullptr));
    EXPECT_TRUE(source.GuardsIntact());
    EXPECT_TRUE(small.GuardsIntact());
    EXPECT_EQ(small.At(0, 0), (std::vector<int>{120, 100, 200}));

    // Half of white over black, green weighed fully, red not at all; only inside the clip.
    Map white(2, 2, 32, false, 255);
    Map black(2, 2, 32, false, 0);
    const QtRect square = {0, 0, 2, 2};
    const std::vector<QtRect> clip = {{0, 0, 1, 2}};
    ASSERT_TRUE(StandInCopyPixels(white.pixels, black.pixels, square, square, kQtBlendMode, {0, 65535, 32767}, &clip));
    EXPECT_EQ(black.At(1, 0), (std::vector<int>{127, 255, 0})) << "blue, green, red";
    EXPECT_EQ(black.At(0, 1), (std::vector<int>{0, 0, 0})) << "outside the clip";

    StandInPixels torn = black.pixels;
    torn.stride = 4;  // shorter than a row
    EXPECT_FALSE(StandInCopyPixels(white.pixels, torn, square, square, kQtSrcCopyMode, {}, nullptr));
    const QtRect empty = {0, 0, 0, 2};
    EXPECT_FALSE(StandInCopyPixels(white.pixels, black.pixels, empty, square, kQtSrcCopyMode, {}, nullptr));
}

}  // namespace
