// The default palette: the "DEFPAL" file against the table it is written from, where the
// system colours go, and 15-bit snapping.
#include "graphics/palette/DefaultPalette.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(DefaultPalette, ResourceFilePlacesAndSnapping) {
    const char* source = std::getenv("LOOM_SOURCE");
    ASSERT_TRUE(source) << "LOOM_SOURCE names the source tree";
    std::ifstream in(std::filesystem::path(source) / "resources" / "defpal.pal", std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(file.size(), kDefpalResourceBytes) << "run resources/defpal.py";
    std::array<DibColor, kDefaultPaletteEntries> colors;
    ASSERT_TRUE(ReadDefaultPaletteResource(file, colors));
    for (size_t i = 0; i < colors.size(); ++i) {
        const uint32_t c = kDefaultPaletteColors[i];
        ASSERT_EQ(colors[i], (DibColor{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0}))
            << "entry " << i << " of defpal.pal is stale: run resources/defpal.py";
    }
    EXPECT_EQ(colors[0], (DibColor{255, 255, 255, 0}));
    EXPECT_EQ(colors[235], (DibColor{0x66, 0x33, 0xFF, 0}));
    // One byte short: refused, nothing written.
    colors.fill({1, 2, 3, 4});
    EXPECT_FALSE(ReadDefaultPaletteResource(std::span(file).first(kDefpalMinimumBytes - 1), colors));
    EXPECT_EQ(colors[0], (DibColor{1, 2, 3, 4}));

    const int places[][2] = {{236, 255}, {240, 251}, {245, 246}, {246, 9}, {250, 5}, {255, 0}, {235, -1}, {256, -1}};
    for (const auto& p : places)
        EXPECT_EQ(SystemEntryForAppEntry(p[0]), p[1]) << "entry " << p[0];

    const uint8_t snaps[][6] = {
        {200, 100, 50, 200, 96, 48}, {255, 255, 255, 255, 255, 255} /* pure white is kept */,
        {255, 255, 254, 248, 248, 248}, {7, 8, 15, 0, 8, 8},
    };
    for (const auto& s : snaps) {
        uint8_t r = s[0], g = s[1], b = s[2];
        QuantizeColorTo15Bit(r, g, b);
        EXPECT_EQ((std::array{r, g, b}), (std::array{s[3], s[4], s[5]}))
            << int{s[0]} << "," << int{s[1]} << "," << int{s[2]};
    }
}

}  // namespace
