// Pixel depth conversions through the display the tests run on (16 and 24 bits): requantizing,
// scaling, the display's value of a solid colour, the exact-colour reduction to 8 bits, and the
// repacking of card pictures with the stack layer's procedures recorded.
#include "graphics/pixels/PixelDepthGdi.h"

#include <gtest/gtest.h>

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/PixelDepth.h"
#include "paint/SolidColorSample.h"
#include "tests/graphics/DibTestUtil.h"
#include "tests/graphics/PictureRecordTestUtil.h"
#include "tests/support/DisplayDepth_win.h"

namespace {

using namespace picturetest;
using Bytes = std::vector<uint8_t>;

// Components the display keeps at 16 bits too: multiples of 8.
Rgb Shade(int x, int y) { return {uint8_t((x + y) * 56 % 256), uint8_t(y * 24 % 256), uint8_t(x * 40 % 256)}; }

// A 24-bit DIB of color(x, y), y from the top; rows bottom first as GDI keeps them.
template <class F>
DibHandle PictureDib(int width, int height, F color) {
    DibHandle dib = NewDib(width, height, 24);
    LockedDib locked(dib);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = color(x, y);
            uint8_t* p = locked.row(height - 1 - y).data() + 3 * x;
            p[0] = c.blue, p[1] = c.green, p[2] = c.red;
        }
    return dib;
}

// The colour at (x, y from the top) of a bottom-up DIB of 16 bits or more; 5-bit components
// of 16-bit pixels times 8.
Rgb PixelAt(DibHandle dib, int x, int y) {
    LockedDib locked(dib);
    const uint8_t* p = locked.row(locked.layout().height - 1 - y).data() + x * (locked.layout().depth / 8);
    if (locked.layout().depth != 16)
        return {p[2], p[1], p[0]};
    const unsigned v = p[0] | p[1] << 8;
    return {uint8_t((v >> 10 & 31) << 3), uint8_t((v >> 5 & 31) << 3), uint8_t((v & 31) << 3)};
}
bool Same(const Rgb& a, const Rgb& b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

class PixelDepthWinTest : public DibTest {
protected:
    void SetUp() override {
        DibTest::SetUp();
        installed_ = GetCardPictureUpcalls();
        SKIP_UNLESS_TRUE_COLOUR("conversions are read back through 16- and 24-bit device bitmaps");
    }
    void TearDown() override {
        SetCardPictureUpcalls(installed_);
        SetOffscreenBitmap(nullptr);
        DibTest::TearDown();
    }
    const int display_ = GetDisplayBitsPerPixel();
    CardPictureUpcalls installed_{};  // what the program had wired, put back afterwards
};

TEST_F(PixelDepthWinTest, RequantizeAndScaleThroughTheDisplay) {
    ScopedHandle shown(RequantizeDibThroughDisplay(PictureDib(7, 5, Shade)));
    ASSERT_NE(shown.get(), 0);
    // The scaled copy of 3 x 2: every pixel a 2 x 3 block.
    const Bytes small = HandleToBytes(PictureDib(3, 2, Shade));
    ScopedHandle scaled(ScaleDibToHandle(small, 6, 6));
    ASSERT_NE(scaled.get(), 0);
    for (Handle dib : {shown.get(), scaled.get()}) {
        LockedDib locked(dib);
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked.layout().depth, display_);
    }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) {
            if (y < 5) {
                ASSERT_PRED2(Same, PixelAt(shown.get(), x, y), Shade(x, y)) << x << "," << y;
            }
            if (x < 6) {
                ASSERT_PRED2(Same, PixelAt(scaled.get(), x, y), Shade(x / 2, y / 3)) << x << "," << y;
            }
        }
    EXPECT_EQ(RequantizeDibThroughDisplay(0), 0);
    EXPECT_EQ(ScaleDibToHandle(small, 0, 6), 0);
    EXPECT_EQ(ScaleDibToHandle(Bytes(10, 0), 6, 6), 0);
}

TEST_F(PixelDepthWinTest, TheDisplaysOwnValueOfASolidColor) {
    EXPECT_EQ(GetSolidColorSampler(), &SampleSolidColorPixels) << "wired at start-up";
    struct Case {
        Rgb color;
        uint16_t at16;
        uint32_t at32;  // the pixel's bytes (blue, green, red) as a little-endian number
    };
    const Case cases[] = {{{255, 0, 0}, 0x7C00, 0xFF0000}, {{200, 96, 48}, 25 << 10 | 12 << 5 | 6, 0xC86030}};
    for (const Case& c : cases) {
        uint16_t v16 = 0xDEAD;
        uint32_t v32 = 0xDEADBEEF;
        SampleSolidColorPixels(display_, c.color.red, c.color.green, c.color.blue, &v16, &v32);
        if (display_ == 16) {
            EXPECT_EQ(v16, c.at16);
            EXPECT_EQ(v32, 0xDEADBEEFu) << "untouched";
        } else {
            EXPECT_EQ(v32 & 0xFFFFFF, c.at32);
            EXPECT_EQ(v16, 0xDEAD) << "untouched";
        }
    }
}

TEST_F(PixelDepthWinTest, ReduceToEightBitsByExactColors) {
    // 256 distinct colours, the darkest at index 77; the absent colour is none of them.
    const std::vector<Rgb> colors = DistinctColors(77);
    const Handle card = CardRecordHandle(PaletteCard(1, colors));
    struct Case {
        const char* what;
        std::vector<int> pixels;  // palette indexes; -1 the absent colour
        Bytes indexes;
    };
    const Case cases[] = {
        {"exact colours", {0, 1, 255, 77, 128, 3}, {0, 1, 255, 77, 128, 3}},
        {"an absent colour first takes the darkest entry", {-1, -1, 5, 6, 7, 8}, {77, 77, 5, 6, 7, 8}},
        {"an absent colour keeps the last index", {200, -1, 9, -1, -1, 10}, {200, 200, 9, 9, 9, 10}},
    };
    for (const Case& c : cases) {
        auto color = [&](int x, int) { return c.pixels[x] < 0 ? Rgb{40, 64, 200} : colors[c.pixels[x]]; };
        ScopedHandle shown(RequantizeDibThroughDisplay(PictureDib(6, 1, color)));
        ScopedHandle reduced(DibReduceTo8Bit(card, shown.get()));
        LockedDib locked(reduced.get());
        ASSERT_TRUE(locked) << c.what;
        EXPECT_EQ(Bytes(locked.image().begin(), locked.image().begin() + 6), c.indexes) << c.what;
        EXPECT_EQ(locked.table()[4 * 200 + 2], colors[200].red) << "the card's colour table";
    }
    EXPECT_EQ(DibReduceTo8Bit(card, NewDib(2, 2, 8)), 0);
}

// What the repackers asked of the stack layer, and what it answers.
struct Recorded {
    Bytes table;            // made for depth 8; empty: none
    DibHandle picture = 0;  // the picture's DIB (a copy is handed out)
    int replaceResult = 0;
    std::vector<int> asked;  // the picture's width, height, depth, flip; the table's source depth
    Bytes packed;            // the DIB packed
    int storedDepth = 0;
    int remaps = 0;
} g_rec;

CardPictureUpcalls RecordingNeighbours() {
    CardPictureUpcalls n = DefaultCardPictureUpcalls();
    n.dibFromPictureResource = [](Handle, int width, int height, int depth, bool flip, bool) -> DibHandle {
        g_rec.asked.insert(g_rec.asked.end(), {width, height, depth, flip});
        return g_rec.picture ? NewHandleFromBytes(HandleToBytes(g_rec.picture)) : 0;
    };
    n.makeColorTableForDepth = [](HWND, Handle, int sourceDepth, int) -> Handle {
        g_rec.asked.push_back(sourceDepth);
        return g_rec.table.empty() ? 0 : NewHandleFromBytes(g_rec.table);
    };
    n.packPicture = [](DibHandle dib, bool) -> Handle {
        g_rec.packed = HandleToBytes(dib);
        return NewHandleFromBytes(Bytes{1});
    };
    n.replacePictureData = [](Handle, Handle, Handle table, int depth) {
        EXPECT_EQ(HandleToBytes(table), g_rec.table);
        g_rec.storedDepth = depth;
        return g_rec.replaceResult;
    };
    n.mapBitmapToPalette = [](Handle, HPALETTE) { ++g_rec.remaps; };
    return n;
}

// The colour table for depth 8 of these colours.
Bytes Table8(const std::vector<Rgb>& colors) {
    stackbuilder::Picture p = stackbuilder::SolidPicture(1, 1, 8, 0);
    p.palette = colors;
    return stackbuilder::MacColorTable(p);
}

TEST_F(PixelDepthWinTest, FourBitCardPicturesAtANewDepth) {
    // A 5 x 2 card of 16 colours; top-down pixels 1 2 3 4 5 / 6 7 8 9 10.
    std::vector<Rgb> colors(16);
    for (int i = 0; i < 16; ++i)
        colors[i] = {uint8_t(i * 16), uint8_t(248 - i * 8), uint8_t(i * 8)};
    const Handle card = CardRecordHandle(PaletteCard(2, colors, 4, 5, 2));
    const DibHandle fourBit = NewDib(5, 2, 4);
    SetHandleBytes(fourBit, [&] {
        Bytes all = HandleToBytes(fourBit);
        const Bytes rows = {0x67, 0x89, 0xAF, 0, 0x12, 0x34, 0x5F, 0};
        std::copy(rows.begin(), rows.end(), all.begin() + 40 + 64);
        return all;
    }());
    struct Case {
        const char* what;
        int newDepth, width, height;
        bool table, picture;
        int replaceResult, result, storedDepth;  // 0: nothing stored
    };
    const Case cases[] = {
        {"to 8 bits on a larger card", 8, 7, 3, true, true, 0, 0, 8},
        {"to 16 bits", 16, 5, 2, true, true, 0, 0, 16},
        {"to 32 bits", 32, 6, 2, true, true, 0, 0, 32},
        {"24 bits are stored as 32", 24, 5, 2, true, true, 0, 0, 32},
        {"no colour table", 8, 5, 2, false, true, 0, 16, 0},
        {"the record refuses the data", 16, 5, 2, true, true, -1, 16, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_rec = {c.table ? Table8(colors) : Bytes{}, c.picture ? fourBit : 0, c.replaceResult};
        SetCardPictureUpcalls(RecordingNeighbours());
        EXPECT_EQ(ConvertCardPictureFrom4Bit(card, 4, c.newDepth, c.width, c.height), c.result);
        EXPECT_EQ(g_rec.storedDepth, c.storedDepth);
        if (!c.storedDepth)
            continue;
        EXPECT_EQ(g_rec.asked, (std::vector<int>{4, 5, 2, 4, 1})) << "table from 4 bits; picture at its size";
        DibLayout layout;
        ASSERT_TRUE(ReadDibLayout(g_rec.packed, layout));
        EXPECT_EQ((std::vector<int>{layout.depth, layout.width, layout.height}),
                  (std::vector<int>{c.storedDepth, c.width, c.height}));
        // Bottom row first, in the stack layout; a 16-bit display widens 5 bits as 8 v + 7.
        auto shown = [&](uint8_t v) { return display_ == 16 ? Expand5BitComponent(v >> 3) : v; };
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const int index = x < 5 && y < 2 ? 1 + x + 5 * y : 0;
                const Rgb w = colors[index];
                const uint8_t* p = g_rec.packed.data() + layout.bitsOffset + layout.rowBytes * (c.height - 1 - y);
                const Bytes got(p + x * layout.depth / 8, p + (x + 1) * layout.depth / 8);
                const Bytes want = layout.depth == 8    ? Bytes{uint8_t(index)}
                                   : layout.depth == 16 ? Bytes{uint8_t(w.red >> 3 << 2 | w.green >> 6),
                                                                uint8_t((w.green >> 3 << 5 | w.blue >> 3) & 0xFF)}
                                                        : Bytes{0, shown(w.red), shown(w.green), shown(w.blue)};
                ASSERT_EQ(got, want) << "x " << x << " y " << y;
            }
    }
    EXPECT_EQ(ConvertCardPictureFrom4Bit(card, 8, 16, 5, 2), 16);
    SetCardPictureUpcalls(DefaultCardPictureUpcalls());
    EXPECT_EQ(ConvertCardPictureFrom4Bit(card, 4, 16, 5, 2), 16) << "nothing is stored without the stack layer";
}

TEST_F(PixelDepthWinTest, EightBitCardPicturesAtTheCardSize) {
    // A 4 x 2 picture on an 8 x 4 card: each pixel a 2 x 2 block, its index kept through the
    // card's palette. The colours used lie far apart and from the grey of all other entries.
    auto indexAt = [](int x, int y) { return 3 + 40 * x + 7 * y; };
    std::vector<Rgb> colors(256, Rgb{128, 128, 128});
    const Rgb used[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0},
                        {0, 255, 255}, {255, 0, 255}, {0, 0, 0}, {255, 255, 255}};
    for (int i = 0; i < 8; ++i)
        colors[indexAt(i % 4, i / 4)] = used[i];
    const Handle card = CardRecordHandle(PaletteCard(3, colors, 8, 4, 2));
    // The picture's own DIB has the identity table; the record's table is applied to it.
    const DibHandle picture = NewDib(4, 2, 8);
    {
        LockedDib locked(picture);
        for (int i = 0; i < 8; ++i)
            locked.row(1 - i / 4)[i % 4] = uint8_t(indexAt(i % 4, i / 4));
    }
    HDC screen = GetDC(nullptr);
    OwnedGdiObject<HBITMAP> offscreen(CreateCompatibleBitmap(screen, 8, 4 + 2));  // two rows below the card
    ReleaseDC(nullptr, screen);
    SetOffscreenBitmap(offscreen.get());

    g_rec = {Table8(colors), picture};
    SetCardPictureUpcalls(RecordingNeighbours());
    ASSERT_EQ(PackCardPicture8Bit(card, 8), 0);
    EXPECT_EQ(g_rec.asked, (std::vector<int>{8, 4, 2, 8, 1})) << "table from 8 bits; picture at its size";
    EXPECT_EQ(g_rec.remaps, 1);
    EXPECT_EQ(g_rec.storedDepth, 8);
    DibLayout layout;
    ASSERT_TRUE(ReadDibLayout(g_rec.packed, layout));
    EXPECT_EQ((std::vector<int>{layout.depth, layout.width, layout.height}), (std::vector<int>{8, 8, 4}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(g_rec.packed[layout.bitsOffset + layout.rowBytes * (3 - y) + x], indexAt(x / 2, y / 2))
                << "x " << x << " y " << y;
    EXPECT_EQ(g_rec.packed[40 + 4 * 43 + 1], 255) << "the table is the card palette";

    // Failures store nothing.
    g_rec.storedDepth = 0;
    g_rec.table.clear();
    EXPECT_EQ(PackCardPicture8Bit(card, 8), 16);
    EXPECT_EQ(g_rec.storedDepth, 0);
}

}  // namespace
