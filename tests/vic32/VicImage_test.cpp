// Image descriptors: packed DIBs described in place, with their pixels where the descriptor says;
// damaged DIBs refused with the descriptor untouched; images of the library's own, and copies
// that do not own.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/vic32/VicTestUtil.h"

namespace {

VicImage Poisoned() {
    VicImage image;
    std::memset(&image, 0xCD, sizeof image);
    return image;
}

bool StillPoisoned(const VicImage& image) {
    const VicImage poison = Poisoned();
    return std::memcmp(&image, &poison, sizeof image) == 0;
}

uint32_t Pattern(int x, int y) { return static_cast<uint32_t>((x * 37 + y * 101) * 0x010307 & 0xFFFFFF); }
Rgb TableColor(int i) { return {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)}; }

TEST(VicImage, DescribesPackedDibsInPlace) {
    const struct {
        const char* name;
        DibSpec spec;
        uint32_t headerSize;  // 40, or a later header version
    } cases[] = {
        {"24-bit 3x2, padded rows", {3, 2, 24}, 40},
        {"24-bit 5x3 top down", {5, 3, 24, true}, 40},
        {"24-bit with a table before the rows", {2, 2, 24, false, 4}, 40},
        {"8-bit 7x4, full table", {7, 4, 8, false, 256, true}, 40},
        {"8-bit 2x3 top down, 16 colours used", {2, 3, 8, true, 16}, 40},
        {"24-bit, version 5 header", {4, 2, 24}, 124},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DibSpec& s = c.spec;
        auto value = [&](int x, int y) { return s.bits == 8 ? (x + 3u * y) % s.tableEntries : Pattern(x, y); };
        std::vector<uint8_t> dib = MakeDibBytes(s, value, TableColor);
        dib.insert(dib.begin() + 40, c.headerSize - 40, 0);
        dib[0] = static_cast<uint8_t>(c.headerSize);
        const std::vector<uint8_t> before = dib;

        VicImage image = Poisoned();
        ASSERT_EQ(setupimgdes(dib.data(), static_cast<uint32_t>(dib.size()), &image), VIC_OK);
        EXPECT_EQ(image.width, s.width);
        EXPECT_EQ(image.height, s.height);
        EXPECT_EQ(image.bitsPerPixel, s.bits);
        EXPECT_EQ(image.rowBytes, ExpectedRowBytes(s.width, s.bits));
        EXPECT_EQ(image.topDown, s.topDown ? 1 : 0);
        EXPECT_EQ(image.bits, dib.data() + c.headerSize + 4 * s.tableEntries);
        EXPECT_EQ(image.colors, s.bits == 8 ? static_cast<int>(s.tableEntries) : 0);
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const Rgb want = s.bits == 8 ? TableColor(static_cast<int>(value(x, y))) : RgbFromValue(value(x, y));
                ASSERT_EQ(PixelAt(image, x, y), want) << "at " << x << "," << y;
            }
        }
        // Describing copies nothing and frees nothing: the bytes are the caller's.
        EXPECT_EQ(image.block, nullptr);
        freeimage(&image);
        EXPECT_EQ(dib, before);
    }
}

void Put32(std::vector<uint8_t>& dib, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        dib[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(VicImage, RefusesDamagedDibsAndLeavesTheDescriptor) {
    const struct {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        int expected;
    } cases[] = {
        {"shorter than a header", [](auto& d) { d.resize(39); }, VIC_BAD_DIB},
        {"core header", [](auto& d) { Put32(d, 0, 12); }, VIC_BAD_DIB},
        {"header longer than the bytes", [](auto& d) { Put32(d, 0, 124); d.resize(100); }, VIC_BAD_DIB},
        {"two planes", [](auto& d) { d[12] = 2; }, VIC_BAD_DIB},
        {"run-length compressed", [](auto& d) { Put32(d, 16, 1); }, VIC_BAD_DIB},
        {"16 bits", [](auto& d) { d[14] = 16; }, VIC_BAD_BITS},
        {"negative width", [](auto& d) { Put32(d, 4, static_cast<uint32_t>(-3)); }, VIC_BAD_SIZE},
        {"width 32768", [](auto& d) { Put32(d, 4, 32768); }, VIC_BAD_SIZE},
        {"most negative height", [](auto& d) { Put32(d, 8, 0x80000000u); }, VIC_BAD_SIZE},
        {"257 colours used", [](auto& d) { Put32(d, 32, 257); }, VIC_BAD_DIB},
        {"colours used past the end", [](auto& d) { Put32(d, 32, 200); }, VIC_BAD_DIB},
        {"last row one byte short", [](auto& d) { d.pop_back(); }, VIC_BAD_DIB},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> dib = MakeDibBytes({5, 3, 24}, Pattern);
        c.damage(dib);
        VicImage image = Poisoned();
        EXPECT_EQ(setupimgdes(dib.data(), static_cast<uint32_t>(dib.size()), &image), c.expected) << c.name;
        EXPECT_TRUE(StillPoisoned(image)) << c.name;
    }
}

TEST(VicImage, OwnImagesAndCopiesThatDoNotOwn) {
    OwnedImage indexed(3, 2, 8);
    EXPECT_EQ(indexed.image.rowBytes, 4);
    EXPECT_EQ(indexed.image.colors, 256);
    EXPECT_EQ(RgbOf(indexed.image.palette[200]), (Rgb{200, 200, 200})) << "a grey ramp";
    // The header is a BITMAPINFOHEADER that GDI takes with the rows.
    const uint8_t* h = indexed.image.header;
    EXPECT_EQ(std::vector<uint8_t>(h, h + 16), (std::vector<uint8_t>{40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0}));

    OwnedImage original(6, 4, [](int x, int y) { return Rgb{uint8_t(x * 40), uint8_t(y * 60), 7}; });
    VicImage copy = Poisoned();
    ASSERT_EQ(copyimgdes(&original.image, &copy), VIC_OK);
    EXPECT_EQ(copy.block, nullptr);
    SetPixel(copy, 5, 3, {1, 2, 3});
    EXPECT_EQ(PixelAt(original.image, 5, 3), (Rgb{1, 2, 3}));
    // Freeing the copy leaves the original whole (the sanitizers see any use after free).
    freeimage(&copy);
    EXPECT_EQ(copy.bits, nullptr);
    EXPECT_EQ(PixelAt(original.image, 2, 1), (Rgb{80, 60, 7}));

    VicImage untouched = Poisoned();
    EXPECT_EQ(allocimage(&untouched, 4, 4, 16), VIC_BAD_BITS);
    EXPECT_EQ(allocimage(&untouched, 0, 4, 24), VIC_BAD_SIZE);
    EXPECT_EQ(allocimage(&untouched, 4, 32768, 8), VIC_BAD_SIZE);
    EXPECT_EQ(copyimgdes(&original.image, &original.image), VIC_BAD_ARGUMENT);
    VicImage empty{};
    EXPECT_EQ(copyimgdes(&empty, &untouched), VIC_BAD_ARGUMENT);
    EXPECT_TRUE(StillPoisoned(untouched));
}

}  // namespace
