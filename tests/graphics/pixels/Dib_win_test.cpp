// GDI bitmaps to and from DibHandles, with real bitmaps: the pixels that GetBitmapDibBits,
// BitmapToPackedDib, CutOutBitmap and ImageRectToDC produce, palette remapping through a GDI
// palette, and a bitmap's round trip through the stored row forms.
#include "graphics/pixels/DibGdi.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/dib/DibPixels.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/GraphicsErrors.h"
#include "graphics/pixels/LzrwRows.h"
#include "graphics/pixels/PackBits.h"
#include "tests/graphics/GdiDibTestUtil_win.h"
#include "tests/support/Rgb.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

// On a 16-bit display a device bitmap keeps five bits a channel, which read back with the high
// bits repeated below: a channel may differ from what was drawn by at most 7.
bool SameOnThisDisplay(const Rgb& got, const Rgb& want) {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    const int slack = bits == 16 ? 7 : 0;
    auto within = [slack](int a, int b) { return a - b <= slack && b - a <= slack; };
    return within(got.red, want.red) && within(got.green, want.green) && within(got.blue, want.blue);
}

// Colours whose components are multiples of 8, so that every depth from 16 up keeps them.
Rgb Pattern(int x, int y) {
    return {static_cast<uint8_t>(x * 24 % 256), static_cast<uint8_t>(y * 40 % 256),
            static_cast<uint8_t>((x + 3 * y) * 8 % 256)};
}

class DibGdiTest : public GdiDibTest {
protected:
    void SetUp() override {
        GdiDibTest::SetUp();
        screen_ = GetDC(nullptr);
        ASSERT_NE(screen_, nullptr);
        SKIP_UNLESS_TRUE_COLOUR("device bitmaps are compared with the DIBs' own 16- and 24-bit colours");
    }
    void TearDown() override {
        if (screen_)
            ReleaseDC(nullptr, screen_);
        GdiDibTest::TearDown();
    }

    // A display-compatible bitmap holding Pattern (or the given colour function).
    template <class F>
    HBITMAP MakeBitmap(int width, int height, F colorAt) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen_, width, height);
        EXPECT_NE(bitmap, nullptr);
        std::vector<uint8_t> pixels(4 * width * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const Rgb c = colorAt(x, y);
                uint8_t* p = &pixels[4 * (y * width + x)];
                p[0] = c.blue, p[1] = c.green, p[2] = c.red, p[3] = 0;
            }
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        EXPECT_EQ(SetDIBits(screen_, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS), height);
        Keep(bitmap);
        return bitmap;
    }
    HBITMAP MakeBitmap(int width, int height) { return MakeBitmap(width, height, Pattern); }

    // Reads the colour at (x, y) (top-down) of a DIB laid out bottom row first.
    static Rgb PixelOf(std::span<const uint8_t> dib, int x, int y) {
        DibLayout layout;
        if (!ReadDibLayout(dib, layout))
            return {1, 2, 3};
        const uint8_t* row = dib.data() + layout.bitsOffset + layout.rowBytes * (layout.height - 1 - y);
        switch (layout.depth) {
        case 32: return {row[4 * x + 2], row[4 * x + 1], row[4 * x]};
        case 24: return {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
        case 16: {
            const uint16_t v = static_cast<uint16_t>(row[2 * x] | row[2 * x + 1] << 8);
            return {static_cast<uint8_t>((v >> 10 & 31) << 3), static_cast<uint8_t>((v >> 5 & 31) << 3),
                    static_cast<uint8_t>((v & 31) << 3)};
        }
        default: {
            const int index = layout.depth == 8   ? row[x]
                              : layout.depth == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                                  : (row[x / 8] >> (7 - x % 8)) & 1;
            const uint8_t* e = dib.data() + 40 + 4 * index;
            return {e[2], e[1], e[0]};
        }
        }
    }

    HDC screen_ = nullptr;
};

TEST_F(DibGdiTest, GetBitmapDibBitsAtEveryDeepDepth) {
    const int width = 13, height = 7;
    HBITMAP bitmap = MakeBitmap(width, height);
    for (int depth : {16, 24, 32, 0}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth);
        DibHandle dib = GetBitmapDibBits(screen_, bitmap, depth, nullptr);
        ASSERT_NE(dib, 0);
        const auto bytes = HandleToBytes(dib);
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(bytes, layout));
        const int expectedDepth = depth ? depth : GetDeviceCaps(screen_, BITSPIXEL) * GetDeviceCaps(screen_, PLANES);
        EXPECT_EQ(layout.depth, expectedDepth);
        EXPECT_EQ(layout.width, width);
        EXPECT_EQ(layout.height, height);
        // Exactly header, table and rows.
        EXPECT_EQ(bytes.size(), layout.bitsOffset + layout.imageBytes);
        EXPECT_EQ(GetU32(bytes, 20), layout.imageBytes);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_PRED2(SameOnThisDisplay, PixelOf(bytes, x, y), Pattern(x, y)) << "x " << x << " y " << y;
        DisposeHandle(dib);
    }
    // A 16-bit pixel is a little-endian 5-5-5 value: pure red reads 00 7C.
    HBITMAP red = MakeBitmap(1, 1, [](int, int) { return Rgb{255, 0, 0}; });
    DibHandle dib = GetBitmapDibBits(screen_, red, 16, nullptr);
    const auto bytes = HandleToBytes(dib);
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes[40], 0x00);
    EXPECT_EQ(bytes[41], 0x7C);

    EXPECT_EQ(GetBitmapDibBits(screen_, bitmap, 7, nullptr), 0);
    EXPECT_EQ(GetBitmapDibBits(screen_, nullptr, 24, nullptr), 0);
}

TEST_F(DibGdiTest, GetBitmapDibBitsAtIndexedDepths) {
    // Black and white survive every depth; the colour table tells them apart.
    const int width = 11, height = 3;
    auto blackWhite = [](int x, int y) { return (x + y) % 3 ? Rgb{255, 255, 255} : Rgb{0, 0, 0}; };
    HBITMAP bitmap = MakeBitmap(width, height, blackWhite);
    for (int depth : {1, 4, 8}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth);
        DibHandle dib = GetBitmapDibBits(screen_, bitmap, depth, nullptr);
        ASSERT_NE(dib, 0);
        const auto bytes = HandleToBytes(dib);
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(bytes, layout));
        EXPECT_EQ(layout.tableEntries, 1u << depth);
        EXPECT_EQ(bytes.size(), 40u + (4u << depth) + DibRowBytes(depth, width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(PixelOf(bytes, x, y), blackWhite(x, y)) << "x " << x << " y " << y;
    }
}

TEST_F(DibGdiTest, GetBitmapDibBitsOfAMonochromeBitmap) {
    // 10 x 2, one bit: rows of 2 bytes (word aligned) for CreateBitmap, top row first.
    const uint8_t bits[] = {0xA5, 0x80, 0x0F, 0x40};
    HBITMAP mono = CreateBitmap(10, 2, 1, 1, bits);
    Keep(mono);
    DibHandle dib = GetBitmapDibBits(screen_, mono, 0, nullptr);
    ASSERT_NE(dib, 0);
    const auto bytes = HandleToBytes(dib);
    ASSERT_EQ(bytes.size(), 40u + 8 + 2 * 4);
    EXPECT_EQ(GetU16(bytes, 14), 1);
    // Bottom row first; the colour table says which index is white.
    const bool oneIsWhite = bytes[44] == 0xFF;
    const uint8_t flip = oneIsWhite ? 0 : 0xFF;
    EXPECT_EQ(bytes[48] ^ flip, 0x0F);
    EXPECT_EQ((bytes[49] ^ flip) & 0xC0, 0x40);
    EXPECT_EQ(bytes[52] ^ flip, 0xA5);
    EXPECT_EQ((bytes[53] ^ flip) & 0xC0, 0x80);

    // The packed DIB of the same bitmap: the same header fields, table and rows.
    HGLOBAL block = BitmapToPackedDib(mono);
    ASSERT_NE(block, nullptr);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    std::vector<uint8_t> packed(p, p + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    ASSERT_EQ(packed.size(), bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin() + 40, bytes.end(), packed.begin() + 40));
    EXPECT_EQ(GetU16(packed, 14), 1);
}

TEST_F(DibGdiTest, BitmapToPackedDibMatchesTheBitmap) {
    const int width = 9, height = 5;
    HBITMAP bitmap = MakeBitmap(width, height);
    HGLOBAL block = BitmapToPackedDib(bitmap);
    ASSERT_NE(block, nullptr);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(block));
    ASSERT_NE(p, nullptr);
    std::vector<uint8_t> bytes(p, p + GlobalSize(block));
    GlobalUnlock(block);
    GlobalFree(block);
    DibLayout layout;
    ASSERT_TRUE(ReadDibLayout(bytes, layout));
    EXPECT_EQ(layout.depth, GetDeviceCaps(screen_, BITSPIXEL) * GetDeviceCaps(screen_, PLANES));
    EXPECT_GE(bytes.size(), layout.bitsOffset + layout.imageBytes);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_PRED2(SameOnThisDisplay, PixelOf(bytes, x, y), Pattern(x, y)) << "x " << x << " y " << y;
    EXPECT_EQ(BitmapToPackedDib(nullptr), nullptr);
}

TEST_F(DibGdiTest, CutOutBitmapCopiesTheRectangle) {
    HBITMAP bitmap = MakeBitmap(20, 12);
    const RECT rect = {5, 3, 16, 10};
    HBITMAP cut = CutOutBitmap(bitmap, rect);
    ASSERT_NE(cut, nullptr);
    Keep(cut);
    BITMAP info;
    ASSERT_TRUE(GetObjectA(cut, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 11);
    EXPECT_EQ(info.bmHeight, 7);
    DibHandle dib = GetBitmapDibBits(screen_, cut, 32, nullptr);
    const auto bytes = HandleToBytes(dib);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 11; ++x)
            ASSERT_PRED2(SameOnThisDisplay, PixelOf(bytes, x, y), Pattern(x + 5, y + 3)) << "x " << x << " y " << y;

    // A one-bit source gives a one-bit copy.
    const uint8_t bits[] = {0xF0, 0x00, 0x0F, 0x00};
    HBITMAP mono = CreateBitmap(8, 2, 1, 1, bits);
    Keep(mono);
    HBITMAP monoCut = CutOutBitmap(mono, RECT{2, 0, 6, 2});
    ASSERT_NE(monoCut, nullptr);
    Keep(monoCut);
    ASSERT_TRUE(GetObjectA(monoCut, sizeof info, &info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidth, 4);
    uint8_t got[4] = {};
    ASSERT_EQ(GetBitmapBits(monoCut, sizeof got, got), 4);
    EXPECT_EQ(got[0] & 0xF0, 0xC0);  // bits 2..5 of 11110000
    EXPECT_EQ(got[2] & 0xF0, 0x30);  // bits 2..5 of 00001111

    EXPECT_EQ(CutOutBitmap(bitmap, RECT{4, 4, 4, 8}), nullptr);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(DibGdiTest, ImageRectToDCCopiesAndEmptyRectanglesDrawNothing) {
    HBITMAP source = MakeBitmap(16, 16);
    HBITMAP target = MakeBitmap(16, 16, [](int, int) { return Rgb{0, 0, 0}; });
    {
        MemoryDC dc(screen_);
        SelectedObject selected(dc.get(), target);
        ImageRectToDC(dc.get(), source, 2, 3, 6, 5, 10, 11);  // 4 x 2 from (10, 11) to (2, 3)
        BlitImageRect(dc.get(), source, 8, 8, 8, 12);         // empty: nothing
        BlitImageRect(dc.get(), source, 12, 12, 14, 14);      // 2 x 2 in place
    }
    const auto bytes = HandleToBytes(GetBitmapDibBits(screen_, target, 32, nullptr));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            Rgb want{0, 0, 0};
            if (x >= 2 && x < 6 && y >= 3 && y < 5)
                want = Pattern(x + 8, y + 8);
            else if (x >= 12 && x < 14 && y >= 12 && y < 14)
                want = Pattern(x, y);
            ASSERT_PRED2(SameOnThisDisplay, PixelOf(bytes, x, y), want) << "x " << x << " y " << y;
        }
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(DibGdiTest, DibSetPaletteFromMapsToTheNearestEntries) {
    struct {
        WORD version, count;
        PALETTEENTRY entries[4];
    } logical = {0x300, 4, {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}}};
    HPALETTE palette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&logical));
    ASSERT_NE(palette, nullptr);

    DibHandle dib = NewDib(4, 1, 8);
    std::vector<DibColor> own(256);
    own[1] = {0, 0, 240, 0};      // nearly red
    own[2] = {10, 250, 5, 0};     // nearly green
    own[3] = {250, 250, 250, 0};  // nearly white
    // The DIB's colour table and its one row of four pixels.
    const auto paint = [&dib](const std::vector<DibColor>& colours, std::array<uint8_t, 4> row) {
        SetDibColorTable(dib, colours);
        HandleLock lock(dib);
        std::copy(row.begin(), row.end(), lock.get() + 40 + 1024);
    };
    paint(own, {3, 2, 1, 0});
    ASSERT_TRUE(DibSetPaletteFrom(dib, palette));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{3, 2, 1, 0}) );
    std::vector<DibColor> table(256);
    ASSERT_EQ(GetDibColorTable(dib, table), 256);
    EXPECT_EQ(table[1], (DibColor{0, 0, 255, 0}));
    EXPECT_EQ(table[3], (DibColor{255, 255, 255, 0}));
    EXPECT_EQ(table[4], DibColor{});

    // Pixels whose colours sit at other indexes move to the palette's.
    own.assign(256, DibColor{});
    own[7] = {255, 255, 255, 0};
    own[9] = {0, 255, 0, 0};
    paint(own, {7, 9, 9, 7});
    ASSERT_TRUE(DibSetPaletteFrom(dib, palette));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{3, 2, 2, 3}));
    DeleteObject(palette);
}

TEST_F(DibGdiTest, BitmapRoundTripsThroughStoredRows) {
    const int width = 21, height = 9;
    HBITMAP bitmap = MakeBitmap(width, height);
    for (int depth : {16, 24, 32}) {
        SCOPED_TRACE(testing::Message() << "depth " << depth);
        DibHandle dib = GetBitmapDibBits(screen_, bitmap, depth, nullptr);
        ASSERT_NE(dib, 0);
        // As a stored picture: top row first, stack-file pixel order.
        ASSERT_TRUE(DibFlipRows(dib));
        ASSERT_TRUE(DibToStoredPixelOrder(dib));
        if (depth == 16) {  // the top-left pixel high byte first
            const Rgb c = Pattern(0, 0);
            const uint16_t v = static_cast<uint16_t>((c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3);
            const auto rows = RowsOf(dib);
            EXPECT_EQ(rows[0], v >> 8);
            EXPECT_EQ(rows[1], v & 0xFF);
        }
        Handle records = PackLzrwDibRows(dib);
        Handle runs = PackDibRows(dib);
        ASSERT_NE(records, 0);
        ASSERT_NE(runs, 0);
        for (bool lzrw : {true, false}) {
            DibHandle back = NewDib(width, height, depth);
            ASSERT_TRUE(lzrw ? UnpackLzrwDibRows(back, HandleToBytes(records))
                             : DibFromMacRows(back, HandleToBytes(runs)));
            ASSERT_TRUE(DibFromStoredPixelOrder(back));
            ASSERT_TRUE(DibFlipRows(back));
            HBITMAP again = CreateCompatibleBitmap(screen_, width, height);
            Keep(again);
            auto bytes = HandleToBytes(back);
            ASSERT_EQ(SetDIBits(screen_, again, 0, height, bytes.data() + 40,
                                reinterpret_cast<BITMAPINFO*>(bytes.data()), DIB_RGB_COLORS),
                      height);
            // 16-bit pixels are read back at 16 bits: the display widens 5-bit components its own way.
            const auto check = HandleToBytes(GetBitmapDibBits(screen_, again, depth == 16 ? 16 : 32, nullptr));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    ASSERT_PRED2(SameOnThisDisplay, PixelOf(check, x, y), Pattern(x, y)) << "x " << x << " y " << y << " lzrw " << lzrw;
        }
    }
}

}  // namespace
