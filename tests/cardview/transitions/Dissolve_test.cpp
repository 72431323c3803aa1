// The dissolve mask: its power-of-two geometry, the shift register that visits every pixel
// index, and masks smaller than the old fixed 34-byte fill filled without a write outside.
#include "cardview/transitions/Dissolve.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

int CountSet(const DissolveState& s, int width, int height) {
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            n += DissolvePixelSet(s, x, y);
    return n;
}

TEST(Dissolve, MasksArePowersOfTwoWithRowsOfWhole32BitWords) {
    DissolveState s;
    ASSERT_TRUE(InitDissolve({30, 40, 130, 90}, &s));  // 100 x 50
    EXPECT_EQ(std::tie(s.width, s.height, s.bits, s.rowBytes), std::make_tuple(128, 64, 13, 16));
    EXPECT_EQ(s.taps, 0x1B00u);
    EXPECT_EQ(s.remaining, 8191u);
    EXPECT_EQ(DissolveShare(s), 512u);
    for (auto [w, h, width, height] : {std::tuple{14, 14, 32, 16}, {1, 1, 32, 1}, {33, 3, 64, 4}, {300, 200, 512, 256}}) {
        ASSERT_TRUE(InitDissolve({0, 0, w, h}, &s));
        EXPECT_EQ(std::tie(s.width, s.height), std::tie(width, height)) << w << "x" << h;
        EXPECT_EQ(s.mask.size(), size_t(width) * height / 8) << "one-bit DIB rows: " << w << "x" << h;
    }
    for (auto [in, out] : {std::pair<uint16_t, uint16_t>{0, 1}, {3, 4}, {128, 128}, {32767, 32768}, {40000, 0}}) {
        uint16_t v = in;
        RoundUpToPowerOfTwo(&v);
        EXPECT_EQ(v, out) << in;
    }
    EXPECT_FALSE(InitDissolve({0, 0, 0, 10}, &s));
    EXPECT_FALSE(InitDissolve({0, 0, 20000, 20000}, &s)) << "2^30 pixels: beyond the tap table";
    DissolveStep(&s, 100);  // a refused state is left alone
    EXPECT_TRUE(s.mask.empty());
}

TEST(Dissolve, SmallObjectDissolvesInsideItsMaskAndEndsFullySet) {
    for (auto [w, h] : {std::pair{14, 14}, {100, 50}, {3, 200}}) {
        DissolveState s;
        ASSERT_TRUE(InitDissolve({200, 100, 200 + w, 100 + h}, &s));  // 14 x 14: a mask of 64 bytes
        const size_t bytes = s.mask.size();
        int previous = 0;
        for (int step = 0; step < 16 && s.remaining != 0; ++step) {
            DissolveStep(&s, DissolveShare(s));
            const int set = CountSet(s, s.width, s.height);
            EXPECT_GT(set, previous) << w << "x" << h << " step " << step;
            if (step == 7) {
                EXPECT_LT(set, s.width * s.height) << "half way the mask is not full";
            }
            previous = set;
        }
        EXPECT_EQ(s.remaining, 0u);
        EXPECT_EQ(CountSet(s, w, h), w * h) << w << "x" << h;
        EXPECT_EQ(s.mask.size(), bytes);
    }
}

// The register, shifted right with the taps XORed in when a 1 falls out, runs through every
// value 1 .. 2^m - 1 before it comes back to 1.
TEST(Dissolve, EveryTapMaskGivesTheLongestSequence) {
    for (int m = 2; m <= 22; ++m) {
        std::vector<uint8_t> seen(size_t{1} << m, 0);
        uint32_t r = 1, period = 0;
        do {
            ASSERT_LT(r, seen.size()) << "m = " << m;
            ASSERT_FALSE(seen[r]) << "m = " << m << " repeats " << r;
            seen[r] = 1;
            r = (r & 1) ? (r >> 1) ^ kDissolveTaps[m] : r >> 1;
            ++period;
        } while (r != 1);
        EXPECT_EQ(period, (1u << m) - 1) << "m = " << m;
    }
}

}  // namespace
