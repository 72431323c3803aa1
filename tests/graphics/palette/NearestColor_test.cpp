// Nearest-colour matching against a plain search, the rows' layout kept.
#include "graphics/palette/NearestColor.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/graphics/DibTestUtil.h"

namespace {

using NearestColorTest = DibTest;

int Distance(DibColor a, DibColor b) {
    return (a.red - b.red) * (a.red - b.red) + (a.green - b.green) * (a.green - b.green) +
           (a.blue - b.blue) * (a.blue - b.blue);
}

TEST_F(NearestColorTest, EveryPixelTakesANearestEntry) {
    std::mt19937 rng(7);
    std::vector<DibColor> palette(200);
    for (DibColor& c : palette)
        c = {uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
    palette[17] = palette[4];  // a colour twice: the first is taken
    const int width = 13, height = 5;  // 39 bytes a row, padded to 40
    DibHandle source = NewDib(width, height, 24);
    FillPixels(source, 3, 2);
    std::copy_n(&palette[4].blue, 3, LockedDib(source).row(1).data());

    DibHandle matched = MatchDib24ToPalette(source, palette);
    LockedDib in(source), out(matched);
    ASSERT_TRUE(out);
    const DibLayout& made = out.layout();
    EXPECT_EQ((std::array{made.depth, made.width, made.height}), (std::array{8, width, height}));
    std::vector<DibColor> table(256);
    GetDibColorTable(matched, table);
    for (size_t i = 0; i < table.size(); ++i)
        ASSERT_EQ(table[i], i < palette.size() ? palette[i] : DibColor{}) << "table entry " << i;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = in.row(row).data() + 3 * x;
            const DibColor pixel{p[0], p[1], p[2], 0};
            int best = Distance(palette[0], pixel);
            for (const DibColor& c : palette)
                best = std::min(best, Distance(c, pixel));
            ASSERT_EQ(Distance(palette[out.row(row)[size_t(x)]], pixel), best) << "row " << row << " x " << x;
        }
        for (size_t pad = width; pad < out.row(row).size(); ++pad)
            ASSERT_EQ(out.row(row)[pad], 0) << "padding of row " << row;
    }
    EXPECT_EQ(out.row(1)[0], 4);
    EXPECT_EQ(MatchDib24ToPalette(source, {}), 0) << "no palette";
    EXPECT_EQ(MatchDib24ToPalette(NewDib(4, 4, 32), palette), 0) << "only 24-bit pictures";
}

}  // namespace
