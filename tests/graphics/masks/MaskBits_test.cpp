// One-bit masks as bits: outlines against a reference, cuts, and the row forms of bitmaps, DIBs
// and packed masks.
#include "graphics/masks/MaskBits.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/graphics/MaskTestUtil.h"

namespace {

// The one-pixel boundary said another way: a set pixel with a clear (or missing) neighbour to
// its left, right, top or bottom.
MaskBits ReferenceOutline(const MaskBits& mask) {
    MaskBits out(mask.width(), mask.height());
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            if (mask.Get(x, y) &&
                (!mask.Get(x - 1, y) || !mask.Get(x + 1, y) || !mask.Get(x, y - 1) || !mask.Get(x, y + 1)))
                out.Set(x, y);
        }
    }
    return out;
}

MaskBits RandomMask(std::mt19937& rng, int width, int height) {
    MaskBits mask(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            mask.Set(x, y, rng() % 3 != 0);
    }
    return mask;
}

TEST(MaskBits, Outlines) {
    struct Case { const char* what; MaskArt mask, thin; };
    const Case cases[] = {
        {"4 x 4 square", {"......", ".####.", ".####.", ".####.", ".####.", "......"},
                         {"......", ".####.", ".#..#.", ".#..#.", ".####.", "......"}},
        {"touching the edges", {"####", "####", "####"}, {"####", "#..#", "####"}},
        {"empty", {"...", "..."}, {"...", "..."}},
    };
    for (const Case& c : cases) {
        const MaskBits mask = MaskFromArt(c.mask);
        EXPECT_EQ(ArtOf(MaskOutlineBits(mask)), c.thin) << c.what;
    }
    EXPECT_EQ(MaskOutlineBits(MaskFromArt(cases[0].mask)).CountSet(), 12);

    std::mt19937 rng(7);
    for (int i = 0; i < 20; ++i) {
        const MaskBits mask = RandomMask(rng, 1 + static_cast<int>(rng() % 40), 1 + static_cast<int>(rng() % 12));
        EXPECT_EQ(ArtOf(MaskOutlineBits(mask)), ArtOf(ReferenceOutline(mask))) << "random mask " << i;
    }

    // A square stamp of 4 at the run ends of a filled 8 x 8 square: a band two pixels wide.
    MaskBits square(8, 8);
    for (int y = 0; y < 8; ++y)
        square.SetRun(y, 0, 7);
    const MaskArt band = {"########", "########", "##....##", "##....##",
                          "##....##", "##....##", "########", "########"};
    EXPECT_EQ(ArtOf(MaskOutlineStamped(square, MaskFromArt({"####", "####", "####", "####"}), 2)), band);
}

TEST(MaskBits, CutsAndRowForms) {
    const MaskBits mask = MaskFromArt({"#..#", ".##.", "#..#"});
    struct Cut { const char* what; Rect32 rect; MaskArt expected; };
    const Cut cuts[] = {
        {"inside", {1, 0, 3, 2}, {"..", "##"}},
        {"over the top-left corner", {-1, -1, 2, 1}, {"...", ".#."}},
        {"outside", {10, 10, 12, 11}, {".."}},
    };
    for (const Cut& c : cuts)
        EXPECT_EQ(ArtOf(CutMaskBits(mask, c.rect)), c.expected) << c.what;
    EXPECT_TRUE(CutMaskBits(mask, {2, 2, 2, 3}).empty());

    // Rows of a one-bit DIB: bottom row first, 4 bytes each, padding bits full of garbage.
    const std::vector<uint8_t> dibRows = {0x9F, 0xFF, 0xFF, 0xFF, 0x6F, 0xAA, 0, 0, 0x9F, 1, 2, 3};
    MaskBits read(4, 3);
    ASSERT_TRUE(MaskBitsFromRows(dibRows, 4, false, true, &read));
    EXPECT_EQ(ArtOf(read), ArtOf(mask));
    EXPECT_EQ(read, mask) << "padding bits are dropped";
    // The same rows read with white as 0, top row first.
    ASSERT_TRUE(MaskBitsFromRows(dibRows, 4, true, false, &read));
    EXPECT_EQ(ArtOf(read), MaskArt({".##.", "#..#", ".##."}));
    // Too few rows: refused, the mask left alone.
    EXPECT_FALSE(MaskBitsFromRows({dibRows.data(), 11}, 4, true, true, &read));
    EXPECT_EQ(ArtOf(read), MaskArt({".##.", "#..#", ".##."}));

    // Rows of a monochrome bitmap (2 bytes each) hold exactly the pixels.
    EXPECT_EQ(MaskBitsToRows(mask, 2), (std::vector<uint8_t>{0x90, 0, 0x60, 0, 0x90, 0}));
}

}  // namespace
