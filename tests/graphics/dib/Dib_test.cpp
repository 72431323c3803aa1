// Row rules, header queries, new DIBs, layout checks, row copies and flips.
#include "graphics/dib/Dib.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "core/memory/ByteReader.h"
#include "tests/graphics/DibTestUtil.h"

namespace {

// A 40-byte header with the given fields, followed by extra zero bytes.
std::vector<uint8_t> InfoHeader(int32_t width, int32_t height, uint16_t depth, uint32_t colorsUsed,
                                size_t extra = 0, uint32_t headerSize = 40, uint32_t compression = 0) {
    std::vector<uint8_t> bytes(40 + extra, 0);
    ByteWriter w(bytes, 0);
    w.U32LE(headerSize);
    w.I32LE(width);
    w.I32LE(height);
    w.U16LE(1);
    w.U16LE(depth);
    w.U32LE(compression);
    w.U32LE(0);
    w.U32LE(0);
    w.U32LE(0);
    w.U32LE(colorsUsed);
    return bytes;
}

TEST(DibRowRules, RowSizes) {
    struct Case { int depth, width, dib, mac; };
    const Case cases[] = {
        {1, 10, 4, 2},   {8, 10, 12, 16}, {24, 10, 32, 48}, {32, 10, 40, 64}, {16, 10, 20, 32},
        {4, 10, 8, 8},   {1, 32, 4, 4},   {1, 33, 8, 6},    {8, 16, 16, 16},  {24, 1, 4, 48},
        {1, 1, 4, 2},    {32, 0, 0, 0},   {8, -5, 0, 0},    {0, 10, 0, 0},
        {32, 32767, 131068, 131072},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DibRowBytes(c.depth, c.width), c.dib) << "depth " << c.depth << " width " << c.width;
        EXPECT_EQ(MacRowBytes(c.depth, c.width), c.mac) << "depth " << c.depth << " width " << c.width;
    }
    // Mac rows are never shorter than DIB rows from depth 4 up; for depth 1 they are shorter
    // exactly when width mod 32 lies in 1..16.
    for (int width = 1; width <= 300; ++width) {
        for (int depth : kAllDepths) {
            const bool shorter = MacRowBytes(depth, width) < DibRowBytes(depth, width);
            const bool expected = depth == 1 && width % 32 >= 1 && width % 32 <= 16;
            EXPECT_EQ(shorter, expected) << "depth " << depth << " width " << width;
        }
    }
    EXPECT_EQ(LogPaletteSize(256), 1028u);
}

TEST(DibHeader, ColorCountsAndBitsOffset) {
    // An 8-bit header with 20 colours used: 20 colours, rows 120 bytes after the header start.
    auto h8 = InfoHeader(10, 10, 8, 20);
    EXPECT_EQ(DibNumColors(h8), 20u);
    EXPECT_EQ(DibInfoColorCount(h8), 20u);
    EXPECT_EQ(DibColorTableBytes(h8), 80u);
    EXPECT_EQ(DibBitsOffset(h8), 120u);

    struct Case { uint16_t depth; uint32_t colorsUsed; uint32_t colors; uint64_t bits; };
    const Case cases[] = {
        {1, 0, 2, 48},   {4, 0, 16, 104}, {8, 0, 256, 1064}, {16, 0, 0, 40},
        {24, 0, 0, 40},  {32, 0, 0, 40},  {24, 3, 3, 52},
        // Colour counts take the low 16 bits; the rows offset takes the whole field.
        {8, 0x10005, 5, 40 + 4 * 0x10005ull},
    };
    for (const Case& c : cases) {
        auto h = InfoHeader(4, 4, c.depth, c.colorsUsed);
        EXPECT_EQ(DibNumColors(h), c.colors) << "depth " << c.depth << " used " << c.colorsUsed;
        EXPECT_EQ(DibBitsOffset(h), c.bits) << "depth " << c.depth << " used " << c.colorsUsed;
    }

    // A 12-byte core header: count by bit count only; DibInfoColorCount knows no core headers.
    std::vector<uint8_t> core(12, 0);
    ByteWriter w(core, 0);
    w.U32LE(12);
    w.U16LE(5);
    w.U16LE(5);
    w.U16LE(1);
    w.U16LE(4);
    EXPECT_EQ(DibNumColors(core), 16u);
    EXPECT_EQ(DibInfoColorCount(core), 0u);
    EXPECT_EQ(DibInfoColorCount({}), 0u);
    EXPECT_EQ(DibNumColors({}), 0u);

    EXPECT_EQ(DibImageSize(InfoHeader(10, 3, 24, 0)), 96u);
    EXPECT_EQ(DibImageSize(InfoHeader(10, -3, 24, 0)), 0u);

    std::vector<uint8_t> dib = InfoHeader(2, 2, 24, 0, 16);
    EXPECT_EQ(DibBits(dib).size(), 16u);
    EXPECT_EQ(DibBits(dib).data(), dib.data() + 40);
    std::vector<uint8_t> shortDib = InfoHeader(2, 2, 8, 0, 100);
    EXPECT_TRUE(DibBits(shortDib).empty());
}

TEST(DibHeader, LayoutRefusesDamagedDibs) {
    struct Case { const char* what; std::vector<uint8_t> bytes; bool ok; };
    const Case cases[] = {
        {"exact 8-bit", InfoHeader(5, 3, 8, 0, 1024 + 24), true},
        {"rows one byte short", InfoHeader(5, 3, 8, 0, 1024 + 23), false},
        {"core header", InfoHeader(5, 3, 8, 0, 1024 + 24, 12), false},
        {"depth 2", InfoHeader(5, 3, 2, 0, 64), false},
        {"compressed", InfoHeader(5, 3, 8, 0, 1024 + 24, 40, 1), false},
        {"top-down", InfoHeader(5, -3, 8, 0, 1024 + 24), false},
        {"zero width", InfoHeader(0, 3, 8, 0, 1024 + 24), false},
        {"too wide", InfoHeader(40000, 1, 8, 0, 40000 + 1024), false},
        {"huge colour count", InfoHeader(1, 1, 24, 0x40000000, 16), false},
        {"empty", {}, false},
    };
    for (const Case& c : cases) {
        DibLayout layout;
        EXPECT_EQ(ReadDibLayout(c.bytes, layout), c.ok) << c.what;
    }
    DibLayout layout;
    ASSERT_TRUE(ReadDibLayout(InfoHeader(5, 3, 8, 0, 1024 + 24), layout));
    EXPECT_EQ(layout.bitsOffset, 1064u);
    EXPECT_EQ(layout.rowBytes, 8u);
    EXPECT_EQ(layout.imageBytes, 24u);
    EXPECT_EQ(layout.tableEntries, 256u);
    // The same bytes as Mac rows need 16 bytes a row.
    EXPECT_FALSE(ReadDibLayout(InfoHeader(5, 3, 8, 0, 1024 + 24), layout, RowRule::Mac));
}

using NewDibTest = DibTest;

TEST_F(NewDibTest, HeaderTableAndRows) {
    struct Case { int width, height, depth; uint32_t table, image; };
    const Case cases[] = {
        {10, 3, 1, 8, 12}, {10, 3, 4, 64, 24}, {10, 3, 8, 1024, 36},
        {10, 3, 16, 0, 60}, {10, 3, 24, 0, 96}, {10, 3, 32, 0, 120},
    };
    for (const Case& c : cases) {
        DibHandle dib = NewDib(c.width, c.height, c.depth);
        ASSERT_NE(dib, 0) << "depth " << c.depth;
        auto bytes = HandleToBytes(dib);
        ASSERT_EQ(bytes.size(), 44 + c.table + c.image) << "depth " << c.depth;
        std::vector<uint8_t> expected = InfoHeader(c.width, c.height, static_cast<uint16_t>(c.depth), 0);
        SetU32(expected, 20, c.image);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bytes.begin())) << "depth " << c.depth;
        EXPECT_TRUE(std::all_of(bytes.begin() + 40, bytes.end(), [](uint8_t b) { return b == 0; }));

        Handle mac = NewMacRowsHandle(c.width, c.height, c.depth);
        ASSERT_NE(mac, 0);
        const uint32_t macImage = static_cast<uint32_t>(MacRowBytes(c.depth, c.width) * c.height);
        auto macBytes = HandleToBytes(mac);
        EXPECT_EQ(macBytes.size(), 44 + c.table + macImage);
        EXPECT_EQ(GetU32(macBytes, 20), macImage);
        DisposeHandle(dib);
        DisposeHandle(mac);
    }
    EXPECT_EQ(NewDib(10, 10, 2), 0);
    EXPECT_EQ(NewDib(0, 10, 8), 0);
    EXPECT_EQ(NewDib(10, -1, 8), 0);
    EXPECT_EQ(NewDib(32768, 1, 8), 0);
    EXPECT_EQ(NewMacRowsHandle(10, 10, 7), 0);
}

using RowCopyTest = DibTest;

TEST_F(RowCopyTest, DibToMacRowsAndBack) {
    const int widths[] = {1, 2, 7, 10, 15, 16, 17, 31, 32, 33, 48, 63, 100};
    unsigned seed = 1;
    for (int depth : kAllDepths) {
        for (int width : widths) {
            for (int height : {1, 2, 5}) {
                SCOPED_TRACE(testing::Message() << "depth " << depth << " width " << width << " height " << height);
                DibHandle dib = NewDib(width, height, depth);
                ASSERT_NE(dib, 0);
                FillPixels(dib, seed++);
                if (depth <= 8) {  // a recognisable colour table
                    HandleLock lock(dib);
                    for (uint32_t i = 0; i < (4u << depth); ++i)
                        lock.get()[40 + i] = static_cast<uint8_t>(i * 7 + 1);
                }
                Handle mac = DibToMacRowsHandle(dib);
                ASSERT_NE(mac, 0);
                // Each Mac row: the DIB row's first bytes, then zeros.
                const size_t dibRow = static_cast<size_t>(DibRowBytes(depth, width));
                const size_t macRow = static_cast<size_t>(MacRowBytes(depth, width));
                const size_t kept = std::min(dibRow, macRow);
                auto rows = RowsOf(dib);
                auto macRows = RowsOf(mac, RowRule::Mac);
                ASSERT_EQ(macRows.size(), macRow * height);
                for (int r = 0; r < height; ++r) {
                    for (size_t c = 0; c < macRow; ++c) {
                        const uint8_t want = c < kept ? rows[r * dibRow + c] : 0;
                        ASSERT_EQ(macRows[r * macRow + c], want) << "row " << r << " column " << c;
                    }
                }
                DibHandle back = MacRowsToDib(mac);
                ASSERT_NE(back, 0);
                EXPECT_EQ(HandleToBytes(back), HandleToBytes(dib));
                DisposeHandle(dib);
                DisposeHandle(mac);
                DisposeHandle(back);
            }
        }
    }
}

TEST_F(RowCopyTest, RefusesDamagedSources) {
    DibHandle dib = NewDib(10, 4, 8);
    auto bytes = HandleToBytes(dib);
    bytes.resize(bytes.size() - 10);  // the last row cut short
    SetHandleBytes(dib, bytes);
    EXPECT_EQ(DibToMacRowsHandle(dib), 0);
    EXPECT_FALSE(LockedDib(dib));
    EXPECT_EQ(GetHandleLockCount(dib), 0) << "a refused DIB is not left locked";
    // A DIB is too short to be read as Mac rows of the same image.
    DibHandle whole = NewDib(10, 4, 8);
    EXPECT_EQ(MacRowsToDib(whole), 0);
    {
        LockedDib locked(whole);
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked.table().size(), 1024u);
        EXPECT_EQ(locked.row(1).data(), locked.image().data() + 12);
        EXPECT_EQ(GetHandleLockCount(whole), 1);
    }
    EXPECT_EQ(GetHandleLockCount(whole), 0);
    EXPECT_EQ(MacRowsToDib(0), 0);
    EXPECT_FALSE(DibFlipRows(dib));
    EXPECT_FALSE(DibFlipRows(12345));
}

using FlipTest = DibTest;

TEST_F(FlipTest, ReversesRowsAndMaps) {
    for (int height : {1, 2, 3, 6}) {
        DibHandle dib = NewDib(5, height, 24);  // 16-byte rows
        FillPixels(dib, static_cast<unsigned>(height));
        const auto before = RowsOf(dib);
        ASSERT_TRUE(DibFlipRows(dib));
        const auto after = RowsOf(dib);
        for (int r = 0; r < height; ++r)
            EXPECT_TRUE(std::equal(after.begin() + 16 * r, after.begin() + 16 * (r + 1),
                                   before.begin() + 16 * (height - 1 - r)))
                << "height " << height << " row " << r;
        DisposeHandle(dib);
    }

    DibHandle dib = NewDib(4, 3, 8);
    {
        HandleLock lock(dib);
        std::iota(lock.get() + 1064, lock.get() + 1064 + 12, uint8_t{0});
    }
    std::array<uint8_t, 256> map;
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<uint8_t>(255 - i);
    ASSERT_TRUE(DibFlipRowsMapped(dib, map));
    const std::vector<uint8_t> expected = {247, 246, 245, 244, 251, 250, 249, 248, 255, 254, 253, 252};
    EXPECT_EQ(RowsOf(dib), expected);
}

}  // namespace
