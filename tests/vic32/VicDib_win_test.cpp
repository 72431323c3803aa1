// Images and packed DIBs in global memory through vic32.dll: a DIB made an image and back keeps
// its pixels in both row orders and with short tables, in a form the plug-in's own DIB reader
// takes; and a pasted picture matched to a GDI palette goes to SetDIBits with the image's header
// and rows as they are.
#include <windows.h>

#include <gtest/gtest.h>

#include "graphics/dib/Dib.h"
#include "tests/vic32/VicTestUtil.h"

namespace {

HGLOBAL ToGlobal(const std::vector<uint8_t>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

Rgb TableColor(int i) { return {uint8_t(i * 5), uint8_t(250 - i), uint8_t(i ^ 0x5A)}; }

TEST(VicDib, RoundTripKeepsThePixels) {
    const struct {
        const char* name;
        DibSpec spec;
    } cases[] = {
        {"24-bit 1x1", {1, 1, 24}},
        {"24-bit 17x3 top down", {17, 3, 24, true}},
        {"8-bit 3x5", {3, 5, 8, false, 256, true}},
        {"8-bit 9x4 top down, 20 colours used", {9, 4, 8, true, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DibSpec& s = c.spec;
        auto value = [&](int x, int y) {
            return s.bits == 8 ? (x * 3u + y * 7u) % s.tableEntries : (x * 0x0B0705u + y * 0x030D11u) & 0xFFFFFF;
        };
        HGLOBAL in = ToGlobal(MakeDibBytes(s, value, TableColor));
        OwnedImage image;
        ASSERT_EQ(dibtoimage(in, image.get()), VIC_OK);
        GlobalFree(in);  // the image is a copy
        HGLOBAL out = nullptr;
        ASSERT_EQ(imagetodib(image.get(), &out), VIC_OK);
        const auto* p = static_cast<const uint8_t*>(GlobalLock(out));
        std::vector<uint8_t> bytes(p, p + GlobalSize(out));
        GlobalUnlock(out);
        GlobalFree(out);

        // The plug-in's reader takes it: bottom row first, a full table at 8 bits.
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(bytes, layout));
        EXPECT_EQ(layout.width, s.width);
        EXPECT_EQ(layout.height, s.height);
        EXPECT_EQ(layout.depth, s.bits);
        EXPECT_EQ(layout.tableEntries, s.bits == 8 ? 256u : 0u);
        EXPECT_EQ(bytes.size(), layout.bitsOffset + layout.imageBytes);
        for (uint32_t i = 0; i < layout.tableEntries; ++i) {
            const Rgb got{bytes[42 + 4 * i], bytes[41 + 4 * i], bytes[40 + 4 * i]};
            ASSERT_EQ(got, i < s.tableEntries ? TableColor(static_cast<int>(i)) : Rgb{}) << "entry " << i;
        }
        for (int y = 0; y < s.height; ++y) {
            const uint8_t* row = DibRowAt(bytes, layout, s.height - 1 - y).data();
            for (int x = 0; x < s.width; ++x) {
                const uint32_t got = s.bits == 8 ? row[x] : ValueOf({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
                ASSERT_EQ(got, value(x, y)) << "at " << x << "," << y;
            }
        }
    }

    OwnedImage untouched;
    HGLOBAL junk = ToGlobal(std::vector<uint8_t>(40, 'B'));
    EXPECT_EQ(dibtoimage(junk, untouched.get()), VIC_BAD_DIB);
    EXPECT_EQ(untouched.image.bits, nullptr);
    GlobalFree(junk);
    HGLOBAL none = nullptr;
    EXPECT_EQ(imagetodib(untouched.get(), &none), VIC_BAD_ARGUMENT);
    EXPECT_EQ(none, nullptr);
}

TEST(VicDib, MatchedToAGdiPaletteAndSetIntoABitmapAsItIs) {
    constexpr int kWidth = 45, kHeight = 30;
    // A 4 x 4 x 4 colour cube as a GDI palette.
    std::vector<uint8_t> logBytes(LogPaletteSize(64));
    auto* log = reinterpret_cast<LOGPALETTE*>(logBytes.data());
    log->palVersion = 0x300;
    log->palNumEntries = 64;
    std::vector<Rgb> colors;
    for (int i = 0; i < 64; ++i) {
        colors.push_back({uint8_t(i % 4 * 85), uint8_t(i / 4 % 4 * 85), uint8_t(i / 16 * 85)});
        log->palPalEntry[i] = {colors[i].red, colors[i].green, colors[i].blue, 0};
    }
    HPALETTE palette = CreatePalette(log);
    ASSERT_NE(palette, nullptr);

    HGLOBAL pasted = ToGlobal(MakeDibBytes({kWidth, kHeight, 24}, [](int x, int y) { return ValueOf(Smooth(x, y, kWidth, kHeight)); }));
    OwnedImage source, target(kWidth, kHeight, 8);
    ASSERT_EQ(dibtoimage(pasted, source.get()), VIC_OK);
    GlobalFree(pasted);
    VicColor* table = target.image.palette;
    table[64] = VicColor{1, 2, 3, 4};
    EXPECT_EQ(wintovicpal(palette, table, 8), 8);
    target.image.colors = wintovicpal(palette, table, target.image.paletteSlots);
    DeleteObject(palette);
    ASSERT_EQ(target.image.colors, 64);
    EXPECT_EQ(RgbOf(table[37]), colors[37]);
    EXPECT_EQ(table[37].reserved, 0);
    EXPECT_EQ(table[64].reserved, 4) << "written past the palette's entries";
    ASSERT_EQ(matchcolorimageex(source.get(), target.get(), VIC_MATCH_PERCEPTUAL), VIC_OK);

    // A 24-bit DIB section keeps exact colours whatever the display depth.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 24, BI_RGB};
    void* sectionBits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &sectionBits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(SetDIBits(screen, section, 0, kHeight, target.image.bits,
                        reinterpret_cast<const BITMAPINFO*>(target.image.header), DIB_RGB_COLORS),
              kHeight);
    GdiFlush();
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(sectionBits) + y * ExpectedRowBytes(kWidth, 24);
        for (int x = 0; x < kWidth; ++x) {
            const Rgb got{row[3 * x + 2], row[3 * x + 1], row[3 * x]};
            const uint8_t index = IndexAt(target.image, x, y);
            ASSERT_LT(index, 64);
            ASSERT_EQ(got, colors[index]) << "at " << x << "," << y;
            ASSERT_LE(ChannelGap(got, Smooth(x, y, kWidth, kHeight)), 3 * 43) << "at " << x << "," << y;
        }
    }
    DeleteObject(section);
}

}  // namespace
