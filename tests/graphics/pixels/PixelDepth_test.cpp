// Pixel layouts between Windows and the stack file, the exact-colour matching of the 8-bit
// reduction, and the remapping of the system colours of an 8-bit image, on known pixel bytes.
#include "graphics/pixels/PixelDepth.h"

#include <gtest/gtest.h>

#include "tests/graphics/DibTestUtil.h"

namespace {

using PixelDepthTest = DibTest;
using Bytes = std::vector<uint8_t>;

// A DIB of one row holding the bytes (padding included).
DibHandle RowDib(int width, int depth, const Bytes& row) {
    DibHandle dib = NewDib(width, 1, depth);
    SetHandleBytes(dib, [&] {
        Bytes all = HandleToBytes(dib);
        std::copy(row.begin(), row.end(), all.end() - kDibSpareBytes - DibRowBytes(depth, width));
        return all;
    }());
    return dib;
}

DibHandle ToStack16(DibHandle dib) { return DibToStackLayout(dib, 16); }
DibHandle ToStack24(DibHandle dib) { return DibToStackLayout(dib, 24); }
DibHandle ToStack32(DibHandle dib) { return DibToStackLayout(dib, 32); }

TEST_F(PixelDepthTest, LayoutConversions) {
    struct Case {
        const char* what;
        DibHandle (*convert)(DibHandle);
        int width, fromDepth;
        Bytes from;
        int toDepth;
        Bytes to;  // padding included
    };
    const Case cases[] = {
        // Stack 16-bit: red, blue 1, green with bit 15 set, white, grey 16 (padding ignored).
        {"16 to 24", DibConvert16To24, 5, 16, {0x7C, 0, 0, 1, 0x83, 0xE0, 0x7F, 0xFF, 0x42, 0x10, 0xEE, 0xEE}, 24,
         {0, 0, 255, 15, 0, 0, 0, 255, 0, 255, 255, 255, 135, 135, 135, 0}},
        // Blue, green, red, x: white, all below 8, red, (r 200 g 100 b 50) -> 25, 12, 6.
        {"32 to stack 16", Dib32ToMac16, 4, 32, {255, 255, 255, 9, 7, 7, 7, 9, 0, 0, 255, 0, 50, 100, 200, 0}, 16,
         {0x7F, 0xFF, 0, 0, 0x7C, 0, 0x65, 0x86}},
        {"24 to stack 16", Dib24ToMac16, 2, 24, {255, 255, 255, 50, 100, 200, 0, 0}, 16, {0x7F, 0xFF, 0x65, 0x86}},
        {"24 to stack 32", Dib24ToMac32, 1, 24, {1, 2, 3, 0}, 32, {0, 3, 2, 1}},
        {"stack 32 to 24", DibMac32To24, 1, 32, {0x99, 3, 2, 1}, 24, {1, 2, 3, 0}},
        {"32 to 24", Dib32To24, 2, 32, {1, 2, 3, 9, 4, 5, 6, 9}, 24, {1, 2, 3, 4, 5, 6, 0, 0}},
        {"32 to stack order", Dib32WindowsToMacOrder, 1, 32, {1, 2, 3, 9}, 32, {0, 3, 2, 1}},
        {"32 to Windows order", Dib32MacToWindowsOrder, 1, 32, {9, 3, 2, 1}, 32, {1, 2, 3, 0}},
        // Red as each display depth gives it, in the stack's 16- and 32-bit layouts.
        {"display 16 to stack 16", ToStack16, 1, 16, {0, 0x7C, 0, 0}, 16, {0x7C, 0, 0, 0}},
        {"display 32 to stack 16", ToStack16, 1, 32, {0, 0, 255, 0}, 16, {0x7C, 0, 0, 0}},
        {"display 16 to stack 32", ToStack32, 1, 16, {0, 0x7C, 0, 0}, 32, {0, 255, 0, 0}},
        {"display 24 to stack 24, kept as 32", ToStack24, 1, 24, {0, 0, 255, 0}, 32, {0, 255, 0, 0}},
        {"display 32 to stack 32", ToStack32, 1, 32, {0, 0, 255, 9}, 32, {0, 255, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DibHandle source = RowDib(c.width, c.fromDepth, c.from);
        const Bytes before = HandleToBytes(source);
        DibHandle result = c.convert(source);
        LockedDib locked(result);
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked.layout().depth, c.toDepth);
        EXPECT_EQ(Bytes(locked.image().begin(), locked.image().end()), c.to);
        EXPECT_EQ(HandleToBytes(source), before) << "the source is left alone";
        EXPECT_EQ(c.convert(NewDib(1, 1, 8)), 0) << "another depth";
    }

    // Every 5-5-5 value widens and narrows back to itself.
    DibHandle all = NewDib(256, 128, 16);
    {
        LockedDib locked(all);
        for (int v = 0; v < 32768; ++v)
            locked.image()[2 * v] = uint8_t(v >> 8), locked.image()[2 * v + 1] = uint8_t(v);
    }
    EXPECT_EQ(RowsOf(Dib24ToMac16(DibConvert16To24(all))), RowsOf(all));

    // Swapping takes every pair of a row, padding included.
    DibHandle swapped = RowDib(3, 16, {1, 2, 3, 4, 5, 6, 7, 8});
    ASSERT_TRUE(DibSwapPixelBytes(swapped));
    EXPECT_EQ(RowsOf(swapped), (Bytes{2, 1, 4, 3, 6, 5, 8, 7}));
}

TEST_F(PixelDepthTest, FourBitPicturesWidenToEightBits) {
    // 5 x 3, bottom row first; top-down the rows are 1 2 3 4 5 / 6 7 8 9 A / B C D E F.
    DibHandle source = NewDib(5, 3, 4);
    SetHandleBytes(source, [&] {
        Bytes all = HandleToBytes(source);
        const Bytes rows = {0xBC, 0xDE, 0xF7, 0, 0x67, 0x89, 0xA7, 0, 0x12, 0x34, 0x57, 0};
        std::copy(rows.begin(), rows.end(), all.begin() + 40 + 64);
        return all;
    }());
    struct Case {
        int width, height;
        Bytes rows;  // bottom row first
    };
    const Case cases[] = {
        // An odd width takes its last pixel from the high nibble; the low one (7) is no pixel.
        {5, 3, {11, 12, 13, 14, 15, 0, 0, 0, 6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}},
        // The top-left corner stays in place; what lies past the source is 0.
        {6, 4, {0, 0, 0, 0, 0, 0, 0, 0, 11, 12, 13, 14, 15, 0, 0, 0, 6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}},
        {3, 2, {6, 7, 8, 0, 1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        DibHandle wide = DibExpand4To8(source, c.width, c.height);
        EXPECT_EQ(RowsOf(wide), c.rows) << c.width << " x " << c.height;
    }
    EXPECT_EQ(DibExpand4To8(NewDib(4, 4, 8), 4, 4), 0);
}

TEST_F(PixelDepthTest, PixelsTakeTheIndexOfTheirExactColor) {
    // Entry i has key 1000 + 3 i, except that entry 200 has the smallest key, 5.
    std::array<uint32_t, 256> keys;
    for (int i = 0; i < 256; ++i)
        keys[i] = 1000 + 3 * uint32_t(i);
    keys[200] = 5;
    const ColorKeyTable sorted = SortColorKeys(keys);
    struct Case {
        const char* what;
        std::vector<uint32_t> pixels;  // keys; 1 is no entry's
        Bytes indexes;
    };
    const Case cases[] = {
        {"exact colours", {1000, 1003, 1300, 5, 1765}, {0, 1, 100, 200, 255}},
        {"an unknown colour first takes the smallest key's index", {1, 1, 1003}, {200, 200, 1}},
        {"an unknown colour keeps the last index", {1006, 1, 1001, 1009, 1}, {2, 2, 2, 3, 3}},
    };
    for (const Case& c : cases) {
        for (int depth : {16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << c.what << ", depth " << depth);
            const int width = static_cast<int>(c.pixels.size());
            Bytes row(static_cast<size_t>(DibRowBytes(depth, width)), 0x77);  // fourth bytes ignored
            for (int x = 0; x < width; ++x) {
                const uint32_t k = c.pixels[x];
                // 16 bits: the little-endian value; else bytes 0, 1, 2 make the key.
                const Bytes pixel = depth == 16 ? Bytes{uint8_t(k), uint8_t(k >> 8)}
                                                : Bytes{uint8_t(k >> 16), uint8_t(k >> 8), uint8_t(k)};
                std::copy(pixel.begin(), pixel.end(), row.begin() + x * depth / 8);
            }
            DibHandle target = NewDib(width, 1, 8);
            ASSERT_TRUE(MatchPixelsToColorKeys(RowDib(width, depth, row), sorted, target));
            const Bytes got = RowsOf(target);
            EXPECT_EQ(Bytes(got.begin(), got.begin() + width), c.indexes);
        }
    }
    EXPECT_FALSE(MatchPixelsToColorKeys(NewDib(2, 2, 24), sorted, NewDib(3, 2, 8)));
    EXPECT_FALSE(MatchPixelsToColorKeys(NewDib(2, 2, 8), sorted, NewDib(2, 2, 8)));
}

TEST_F(PixelDepthTest, SystemColorsMoveToTheNearestOtherEntry) {
    // Entries are greys (i, i, i) but for the changes of a case; one row holds every index.
    struct Change {
        int index;
        DibColor color;  // blue, green, red
    };
    struct Case {
        const char* what;
        std::vector<Change> changes;
        int entry, expected;
    };
    const Case cases[] = {
        {"a bottom grey: the first middle entry", {}, 7, 10},
        {"a top grey: the last middle entry", {}, 249, 245},
        {"middle entries stay", {}, 128, 128},
        {"a bottom entry equal to entry 10", {{10, {0, 200, 0}}, {4, {0, 200, 0}}}, 4, 10},
        {"a top entry may go to a bottom one", {{5, {7, 77, 7}}, {250, {7, 77, 7}}}, 250, 5},
        {"equal colours: the lowest index", {{60, {50, 50, 50}}, {251, {50, 50, 50}}}, 251, 50},
        // From black: blue 10 costs 200, green 7 costs 196, red 8 costs 192.
        {"blue weighs 2, green 4, red 3", {{2, {0, 0, 0}}, {40, {10, 0, 0}}, {41, {0, 7, 0}}, {42, {0, 0, 8}}}, 2, 42},
        {"a tie: the lowest index", {{1, {0, 0, 0}}, {40, {0, 0, 9}}, {30, {0, 0, 9}}}, 1, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<DibColor> table(256);
        Bytes row(256);
        for (int i = 0; i < 256; ++i)
            table[i] = {uint8_t(i), uint8_t(i), uint8_t(i), 0}, row[i] = uint8_t(i);
        for (const Change& e : c.changes)
            table[e.index] = e.color;
        DibHandle dib = RowDib(256, 8, row);
        SetDibColorTable(dib, table);
        Bytes bytes = HandleToBytes(dib);
        ASSERT_TRUE(DibRemapTopColors(bytes));
        EXPECT_EQ(DibBits(bytes)[c.entry], c.expected);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 1064, HandleToBytes(dib).begin())) << "table kept";
    }
    // Padding is translated too: the 0 after three pixels goes where entry 0 goes.
    Bytes padded = HandleToBytes(RowDib(3, 8, {255, 100, 3, 0}));
    for (int i = 0; i < 256; ++i)
        padded[40 + 4 * i] = padded[41 + 4 * i] = padded[42 + 4 * i] = uint8_t(i);
    ASSERT_TRUE(DibRemapTopColors(padded));
    EXPECT_EQ(Bytes(padded.begin() + 1064, padded.begin() + 1068), (Bytes{245, 100, 10, 10}));

    Bytes deep = HandleToBytes(NewDib(4, 1, 24));
    EXPECT_FALSE(DibRemapTopColors(deep));
    Bytes fewColors = HandleToBytes(NewDib(4, 1, 8));
    fewColors[32] = 20;  // 20 colours used
    EXPECT_FALSE(DibRemapTopColors(fewColors));
}

}  // namespace
