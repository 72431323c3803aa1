// Pixel byte orders and colour-table remapping.
#include "graphics/dib/DibPixels.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/graphics/DibTestUtil.h"

namespace {

using DibPixelsTest = DibTest;

void SetRows(DibHandle dib, const std::vector<uint8_t>& rows) {
    LockedDib locked(dib);
    ASSERT_TRUE(locked);
    ASSERT_EQ(rows.size(), locked.image().size());
    std::copy(rows.begin(), rows.end(), locked.image().begin());
}

TEST_F(DibPixelsTest, StoredPixelOrders) {
    struct Case { const char* what; int width, depth; std::vector<uint8_t> windows, stored; };
    const Case cases[] = {
        // Red 0x7C00 as a Windows 5-5-5 pixel is 00 7C; stored high byte first 7C 00. The two
        // padding bytes of the row stay as they are.
        {"16-bit red", 1, 16, {0x00, 0x7C, 0xEE, 0xEF}, {0x7C, 0x00, 0xEE, 0xEF}},
        {"16-bit two", 2, 16, {0x1F, 0x00, 0xE0, 0x03}, {0x00, 0x1F, 0x03, 0xE0}},
        // Blue 1, green 2, red 3: Windows 1 2 3 x, stored x 3 2 1.
        {"32-bit", 2, 32, {1, 2, 3, 0, 10, 20, 30, 9}, {0, 3, 2, 1, 9, 30, 20, 10}},
        {"24-bit unchanged", 1, 24, {1, 2, 3, 0xEE}, {1, 2, 3, 0xEE}},
        {"8-bit unchanged", 4, 8, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        DibHandle dib = NewDib(c.width, 1, c.depth);
        SetRows(dib, c.windows);
        ASSERT_TRUE(DibToStoredPixelOrder(dib)) << c.what;
        EXPECT_EQ(RowsOf(dib), c.stored) << c.what;
        ASSERT_TRUE(DibFromStoredPixelOrder(dib)) << c.what;
        EXPECT_EQ(RowsOf(dib), c.windows) << c.what;
    }
    EXPECT_FALSE(DibToStoredPixelOrder(0));
}

TEST_F(DibPixelsTest, RemapEightBitPixels) {
    DibHandle dib = NewDib(4, 2, 8);
    std::vector<DibColor> own(256);
    for (int i = 0; i < 256; ++i)
        own[i] = {static_cast<uint8_t>(i), 0, 0, 0};
    ASSERT_EQ(SetDibColorTable(dib, own), 256);
    SetRows(dib, {5, 5, 9, 200, 9, 5, 200, 1});
    std::map<int, int> calls;
    auto nearest = [&](DibColor c) {
        ++calls[c.blue];
        return static_cast<uint8_t>(c.blue + 1);
    };
    std::vector<DibColor> target(256);
    for (int i = 0; i < 256; ++i)
        target[i] = {0, static_cast<uint8_t>(i), 0, 0};
    ASSERT_TRUE(DibRemapPixels(dib, nearest, target));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{6, 6, 10, 201, 10, 6, 201, 2}));
    // One look-up per index met.
    EXPECT_EQ(calls, (std::map<int, int>{{1, 1}, {5, 1}, {9, 1}, {200, 1}}));
    std::vector<DibColor> table(256);
    ASSERT_EQ(GetDibColorTable(dib, table), 256);
    EXPECT_EQ(table, target);
}

TEST_F(DibPixelsTest, RemapFourBitPixelsByNibbles) {
    DibHandle dib = NewDib(4, 1, 4);  // one row of 4 bytes, 2 of them pixels
    std::vector<DibColor> own(16);
    for (int i = 0; i < 16; ++i)
        own[i] = {0, 0, static_cast<uint8_t>(16 * i), 0};
    SetDibColorTable(dib, own);
    SetRows(dib, {0x12, 0x3F, 0, 0});
    // The found index's low 4 bits become the nibble.
    auto nearest = [](DibColor c) { return static_cast<uint8_t>(0xA0 + c.red / 16 + 1); };
    std::vector<DibColor> target(256, DibColor{7, 7, 7, 0});
    ASSERT_TRUE(DibRemapPixels(dib, nearest, target));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{0x23, 0x40, 0x11, 0x11}));
    std::vector<DibColor> table(16);
    ASSERT_EQ(GetDibColorTable(dib, table), 16);
    EXPECT_EQ(table, std::vector<DibColor>(16, DibColor{7, 7, 7, 0}));
}

TEST_F(DibPixelsTest, RemapKeepsWithinTheTableAndRefusesOtherDepths) {
    // An 8-bit DIB with 20 colours used: only 20 entries may be written, or the rows would be.
    DibHandle dib = NewDib(4, 1, 8);
    {
        // Colours used 20; the rows move up to follow a table of 20 entries.
        HandleLock lock(dib);
        lock.get()[32] = 20;
    }
    SetHandleSize(dib, 40 + 80 + 4);
    SetRows(dib, {30, 1, 2, 3});
    auto nearest = [](DibColor) { return uint8_t{0x55}; };
    std::vector<DibColor> target(256, DibColor{1, 2, 3, 0});
    ASSERT_TRUE(DibRemapPixels(dib, nearest, target));
    EXPECT_EQ(RowsOf(dib), (std::vector<uint8_t>{0x55, 0x55, 0x55, 0x55}));
    std::vector<DibColor> table(256);
    EXPECT_EQ(GetDibColorTable(dib, table), 20);
    EXPECT_EQ(table[19], (DibColor{1, 2, 3, 0}));

    for (int depth : {1, 16, 24, 32}) {
        DibHandle other = NewDib(4, 1, depth);
        const auto before = HandleToBytes(other);
        EXPECT_FALSE(DibRemapPixels(other, nearest, target)) << "depth " << depth;
        EXPECT_EQ(HandleToBytes(other), before) << "depth " << depth;
    }
}

}  // namespace
