// The picture import's own readers of file bytes: the GIF walk finds the first transparent
// index of a GIF89 past colour tables, comments and image data, and gives -1 for a file cut
// short; the direct BMP reader turns 16-bit (5-5-5 and 5-6-5 bit fields) and 32-bit files into
// 24-bit DIBs with their colours, honouring the pixel offset and either row order.
#include <gtest/gtest.h>

#include <vector>

#include "media/pictures/BmpDirect.h"
#include "media/pictures/GifScan.h"

namespace {

void Add(std::vector<uint8_t>& b, std::initializer_list<int> bytes) {
    for (int v : bytes)
        b.push_back(static_cast<uint8_t>(v));
}

// GIF89a 2x2, a global table of 4 colours, a comment, a graphic control extension (without or
// with a transparent index), one image with a local table of 2 colours, then the trailer.
std::vector<uint8_t> Gif(bool transparent, int index) {
    std::vector<uint8_t> b = {'G', 'I', 'F', '8', '9', 'a'};
    Add(b, {2, 0, 2, 0, 0x81, 0, 0});                    // screen, global table of 2^(1+1)
    Add(b, {0, 0, 0, 255, 255, 255, 0x21, 0xF9, 0x3B, 9, 9, 9});  // the table; bytes like introducers
    Add(b, {0x21, 0xFE, 3, 'a', 0x2C, 'b', 0});         // a comment holding an image introducer
    Add(b, {0x21, 0xF9, 4, transparent ? 1 : 0, 0, 0, index, 0});
    Add(b, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x80});       // image, local table of 2
    Add(b, {1, 2, 3, 4, 5, 6, 2, 3, 0x21, 0xF9, 0x3B, 0});  // table, code size, data, end
    Add(b, {0x21, 0xF9, 4, 1, 0, 0, 200, 0});           // a second, later index
    b.push_back(0x3B);
    return b;
}

std::vector<uint8_t> Bmp(int bits, bool bitFields, bool topDown, uint32_t gap, const std::vector<uint32_t>& pixels) {
    const uint32_t masksBytes = bitFields ? 12 : 0;
    const uint32_t at = 14 + 40 + masksBytes + gap;
    const uint32_t rowBytes = (2 * static_cast<uint32_t>(bits) + 31) / 32 * 4;
    std::vector<uint8_t> b(at + 2 * rowBytes, 0);
    auto put = [&](size_t off, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[off + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size()), 4);
    put(10, at, 4);
    put(14, 40, 4);
    put(18, 2, 4);
    put(22, topDown ? static_cast<uint32_t>(-2) : 2u, 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(bits), 2);
    put(30, bitFields ? 3 : 0, 4);
    if (bitFields) {  // 5-6-5
        put(54, 0xF800, 4);
        put(58, 0x07E0, 4);
        put(62, 0x001F, 4);
    }
    // pixels: top-left, top-right, bottom-left, bottom-right.
    for (int y = 0; y < 2; ++y) {
        const int stored = topDown ? y : 1 - y;
        for (int x = 0; x < 2; ++x)
            put(at + static_cast<size_t>(stored) * rowBytes + static_cast<size_t>(x * bits / 8),
                pixels[static_cast<size_t>(y * 2 + x)], bits / 8);
    }
    return b;
}

// The 24-bit result's colour at (x, y) from the top, as 0xRRGGBB.
uint32_t At(const std::vector<uint8_t>& dib, int x, int y) {
    const size_t row = 40 + static_cast<size_t>(1 - y) * 8 + static_cast<size_t>(x) * 3;
    return uint32_t{dib[row + 2]} << 16 | uint32_t{dib[row + 1]} << 8 | dib[row];
}

}  // namespace

TEST(PictureBytes, GifTransparentIndexIsTheFirstOneFoundAndCutFilesGiveNone) {
    EXPECT_TRUE(IsGif89Header(Gif(true, 5)));
    EXPECT_EQ(GifTransparentIndex(Gif(true, 5)), 5);
    EXPECT_EQ(GifTransparentIndex(Gif(false, 5)), 200) << "the later extension's";
    std::vector<uint8_t> gif87 = Gif(true, 7);
    gif87[4] = '7';
    EXPECT_FALSE(IsGif89Header(gif87));
    const std::vector<uint8_t> whole = Gif(true, 9);
    for (size_t keep = 0; keep < whole.size(); ++keep)
        EXPECT_EQ(GifTransparentIndex({whole.data(), keep}), -1) << "cut at " << keep;
}

TEST(PictureBytes, DirectBmpReadsSixteenAndThirtyTwoBitsWithTheirColours) {
    struct Case {
        int bits;
        bool bitFields;
        bool topDown;
        std::vector<uint32_t> pixels;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {16, false, false, {0x7C00, 0x03E0, 0x001F, 0x7FFF}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}},
        {16, true, true, {0xF800, 0x07E0, 0x001F, 0x0000}, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000}},
        {16, true, false, {0x8410, 0xF81F, 0x07FF, 0xFFFF}, {0x848284, 0xFF00FF, 0x00FFFF, 0xFFFFFF}},
        {32, false, true, {0xAA123456, 0x00FF0000, 0x000000FF, 0x00808080}, {0x123456, 0xFF0000, 0x0000FF, 0x808080}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> file = Bmp(c.bits, c.bitFields, c.topDown, 10, c.pixels);
        ASSERT_TRUE(IsDirectBmp(file)) << c.bits;
        const std::vector<uint8_t> dib = DirectBmpToPackedDib(file);
        ASSERT_EQ(dib.size(), 40u + 2 * 8) << c.bits;
        EXPECT_EQ(dib[14], 24);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(At(dib, i % 2, i / 2), c.expected[static_cast<size_t>(i)])
                << c.bits << (c.bitFields ? " fields" : "") << (c.topDown ? " top-down" : "") << " pixel " << i;
        // Pixels said to start past what the file holds, or a file cut short: nothing.
        std::vector<uint8_t> far = file;
        far[10] = 0xF0;
        EXPECT_TRUE(DirectBmpToPackedDib(far).empty());
        EXPECT_TRUE(DirectBmpToPackedDib({file.data(), file.size() - 1}).empty());
    }
    EXPECT_FALSE(IsDirectBmp(Bmp(8, false, false, 0, {0, 0, 0, 0})));
}
