// AVI frames as the stand-in takes them from AVIFile: stored rows with the format the file
// carries, and frames a codec made, each sized only from what is there.
#include <gtest/gtest.h>

#include <vector>

#include "quicktime/dll/StandInMovies.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// A BITMAPINFOHEADER followed by the colours (blue, green, red, 0) given.
Bytes Format(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t claimed,
             const std::vector<uint32_t>& colours = {}) {
    Bytes b(40 + colours.size() * 4);
    Put32(b, 0, 40);
    Put32(b, 4, uint32_t(width));
    Put32(b, 8, uint32_t(height));
    b[12] = 1;
    b[14] = uint8_t(bits);
    Put32(b, 16, compression);
    Put32(b, 32, claimed);
    for (size_t i = 0; i < colours.size(); ++i)
        Put32(b, 40 + i * 4, colours[i]);
    return b;
}

// The picture's pixel as 0xRRGGBB.
uint32_t Pixel(const StandInImage& image, int x, int y) {
    const uint8_t* p = image.bgra.data() + (size_t(y) * image.width + x) * 4;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

TEST(StandInAviFrames, StoredRowsUseOnlyTheColoursTheFormatCarries) {
    // Two rows of four 8-bit indexes (bottom row first), 0 and 1 carried, 2 and 3 not.
    const Bytes rows = {0, 1, 2, 3, 3, 2, 1, 0};
    StandInImage image;
    ASSERT_TRUE(AviFrameImage(Format(4, 2, 8, 0, 2, {0xFF0000, 0x00FF00}), rows, &image));
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(Pixel(image, 0, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(image, 1, 1), 0x00FF00u);
    EXPECT_EQ(Pixel(image, 2, 1), 0u);
    // A header claiming a full palette that the format does not carry: the carried colours, and
    // black for the rest, with nothing read past the format.
    ASSERT_TRUE(AviFrameImage(Format(4, 2, 8, 0, 256, {0x0000FF}), rows, &image));
    EXPECT_EQ(Pixel(image, 0, 1), 0x0000FFu);
    EXPECT_EQ(Pixel(image, 3, 1), 0u);
    ASSERT_TRUE(AviFrameImage(Format(4, 2, 8, 0, 0), rows, &image)) << "no colours at all";
    EXPECT_EQ(Pixel(image, 1, 0), 0u);
    // A colour count past what 4 bits index is capped; a top-down frame's first row is its top.
    ASSERT_TRUE(AviFrameImage(Format(2, -1, 4, 0, 0x40000000, {0x123456, 0x654321}), Bytes{0x10, 0, 0, 0}, &image));
    EXPECT_EQ(Pixel(image, 0, 0), 0x654321u);
    EXPECT_EQ(Pixel(image, 1, 0), 0x123456u);

    // Rows short of the header's size, sizes that would wrap, a coded format: no picture.
    EXPECT_FALSE(AviFrameImage(Format(4, 2, 8, 0, 2, {1, 2}), Bytes(7), &image));
    EXPECT_FALSE(AviFrameImage(Format(0x7FFFFFFF, 2, 32, 0, 0), Bytes(64), &image));
    EXPECT_FALSE(AviFrameImage(Format(16, int32_t(0x80000000), 8, 0, 0), Bytes(64), &image));
    EXPECT_FALSE(AviFrameImage(Format(4, 2, 8, 1, 0), rows, &image));
    EXPECT_FALSE(AviFrameImage(Bytes(39), rows, &image));
}

// A stored frame the file holds whole but that passes 16 M pixels (a 1-bit 16384 by 16384 frame
// is 32 MiB in the file, 1 GiB as a picture) cannot be read; one at the limit is, and so is a
// packed DIB of the same sizes.
TEST(StandInAviFrames, AStoredFramePastSixteenMegapixelsCannotBeRead) {
    StandInImage image;
    const Bytes huge(size_t(16384) / 8 * 16384, 0xAA);
    EXPECT_FALSE(AviFrameImage(Format(16384, 16384, 1, 0, 2, {0, 0xFFFFFF}), huge, &image));
    EXPECT_FALSE(AviFrameImage(Format(16384, -1025, 1, 0, 2, {0, 0xFFFFFF}), huge, &image)) << "top-down too";
    ASSERT_TRUE(AviFrameImage(Format(16384, 1024, 1, 0, 2, {0, 0xFFFFFF}), huge, &image));
    EXPECT_EQ(image.bgra.size(), size_t(16384) * 1024 * 4);
    EXPECT_EQ(Pixel(image, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(image, 1, 0), 0u);
    Bytes dib = Format(16384, 16384, 1, 0, 2, {0, 0xFFFFFF});
    dib.insert(dib.end(), huge.begin(), huge.end());
    EXPECT_FALSE(StandInImageFromDib(dib, &image));
    const Bytes decoded(size_t(12292) * 4096);  // 4097 pixels of 3 bytes a row, padded
    EXPECT_FALSE(StandInImageFromBottomUpRows(decoded, 4097, 4096, 3, &image)) << "decoded rows past the limit";
    EXPECT_TRUE(StandInImageFromBottomUpRows(decoded, 4096, 4096, 3, &image));
}

TEST(StandInAviFrames, ACodecsFrameIsSizedForTheStreamsFrame) {
    const Bytes coded = Format(5, 4, 8, 1, 2, {0, 0});  // run-length coded
    EXPECT_EQ(DecodedAviFrameBytes(Format(5, 4, 32, 0, 0), coded), 40u + 5 * 4 * 4);
    EXPECT_EQ(DecodedAviFrameBytes(Format(5, -4, 24, 0, 0), coded), 40u + 16 * 4);
    EXPECT_EQ(DecodedAviFrameBytes(Format(5, 4, 8, 0, 0x7FFFFFFF), coded), 40u + 256 * 4 + 8 * 4)
        << "the colours capped at what 8 bits index";
    EXPECT_EQ(DecodedAviFrameBytes(Format(6, 4, 32, 0, 0), coded), 0u) << "not the stream's size";
    EXPECT_EQ(DecodedAviFrameBytes(Format(5, 4, 32, 2, 0), coded), 0u) << "still coded";
    EXPECT_EQ(DecodedAviFrameBytes(Format(5, 4, 32, 0, 0), Bytes(20)), 0u) << "no stream format";
}

}  // namespace
