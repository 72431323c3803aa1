// The PackedMask block: its bytes for a known mask, the round trip, and damaged blocks refused
// before anything is made.
#include "graphics/masks/PackedMask.h"

#include <gtest/gtest.h>

#include "tests/graphics/MaskTestUtil.h"

namespace {

TEST(PackedMask, BytesAndRoundTrip) {
    const MaskBits mask = MaskFromArt({"#........#", ".########.", "#.#.#.#.#."});
    const std::vector<uint8_t> block = WritePackedMask(mask, 0x1234, 0xBEEF);
    ASSERT_EQ(block.size(), 37u);
    EXPECT_EQ(PackedMaskBytes(10, 3), 37u);
    std::vector<uint8_t> expected = {10, 0, 3, 0, 0x34, 0x12, 0xEF, 0xBE};
    expected.resize(24, 0);
    for (uint8_t b : {0x80, 0x40, 0, 0, 0x7F, 0x80, 0, 0, 0xAA, 0x80, 0, 0, 0})
        expected.push_back(b);
    EXPECT_EQ(block, expected);

    MaskBits back;
    uint16_t first = 0, second = 0;
    ASSERT_EQ(ReadPackedMaskBits(block, &back, &first, &second), PackedMaskRefusal::None);
    EXPECT_EQ(ArtOf(back), ArtOf(mask));
    EXPECT_EQ(first, 0x1234);
    EXPECT_EQ(second, 0xBEEF);

    // Blocks that end with the rows (no spare byte) and blocks with set padding bits still read.
    std::vector<uint8_t> trimmed(block.begin(), block.end() - 1);
    trimmed[25] |= 0x3F;
    ASSERT_EQ(ReadPackedMaskBits(trimmed, &back, &first, &second), PackedMaskRefusal::None);
    EXPECT_EQ(back, mask);
    EXPECT_TRUE(WritePackedMask(MaskBits(), 1, 2).empty());
}

TEST(PackedMask, DamagedBlocksRefused) {
    const std::vector<uint8_t> good = WritePackedMask(MaskFromArt({"#.#", ".#."}), 7, 8);
    auto withSize = [&](int width, int height) {
        std::vector<uint8_t> b = good;
        b[0] = static_cast<uint8_t>(width);
        b[1] = static_cast<uint8_t>(width >> 8);
        b[2] = static_cast<uint8_t>(height);
        b[3] = static_cast<uint8_t>(height >> 8);
        return b;
    };
    struct Case { const char* what; std::vector<uint8_t> block; PackedMaskRefusal refusal; };
    const Case cases[] = {
        {"empty", {}, PackedMaskRefusal::ShortHeader},
        {"23 bytes", {good.begin(), good.begin() + 23}, PackedMaskRefusal::ShortHeader},
        {"header only", {good.begin(), good.begin() + 24}, PackedMaskRefusal::ShortRows},
        {"one row missing", {good.begin(), good.begin() + 28}, PackedMaskRefusal::ShortRows},
        {"zero width", withSize(0, 2), PackedMaskRefusal::ZeroSize},
        {"zero height", withSize(3, 0), PackedMaskRefusal::ZeroSize},
        {"width 40000", withSize(40000, 1), PackedMaskRefusal::TooLarge},
        {"height 65535", withSize(1, 65535), PackedMaskRefusal::TooLarge},
        {"height 3 in a block of 2 rows", withSize(3, 3), PackedMaskRefusal::ShortRows},
        {"width 33 in a block of 4-byte rows", withSize(33, 2), PackedMaskRefusal::ShortRows},
    };
    for (const Case& c : cases) {
        MaskBits mask(2, 2);
        uint16_t first = 0xAAAA, second = 0xAAAA;
        EXPECT_EQ(ReadPackedMaskBits(c.block, &mask, &first, &second), c.refusal)
            << c.what << ": " << PackedMaskRefusalText(ReadPackedMaskBits(c.block, &mask, &first, &second));
        EXPECT_EQ(mask.width(), 2) << c.what << ": the mask was touched";
        EXPECT_EQ(first, 0xAAAA) << c.what;
    }
}

}  // namespace
