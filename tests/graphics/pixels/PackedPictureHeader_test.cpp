// Packed pictures ("PPak"): the bytes of a written header and picture, round trips over depths
// and both packings, decoding of hand-made stored rows, the refusals of damaged pictures, and
// frame deltas.
#include "graphics/pixels/PackedPictureHeader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/DibPalette.h"
#include "tests/graphics/DibTestUtil.h"

namespace {

using PackedPictureTest = DibTest;

std::vector<uint8_t> Bytes(Handle h) { return HandleToBytes(h); }

std::vector<DibColor> SomeColors(size_t count) {
    std::vector<DibColor> colors(count);
    for (size_t i = 0; i < count; ++i)
        colors[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 0};
    return colors;
}

TEST_F(PackedPictureTest, WritesHeaderAndWholePicture) {
    struct Case {
        uint16_t width, height, depth;
        int32_t rowBytes;
        uint16_t packing;
        size_t tableEntries, dataBytes;
        uint32_t total;
    } cases[] = {
        {8, 2, 8, 16, kPPakLzrwRows, 256, 37, 58 + 2056 + 37 + 1},  // odd: one pad byte
        {640, 480, 32, -2560, kPPakPackBits, 0, 1000, 58 + 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        const std::vector<uint8_t> table = MacColorTableFromColors(SomeColors(c.tableEntries));
        EXPECT_EQ(ReadMacColorTable(table), SomeColors(c.tableEntries));
        std::vector<uint8_t> data(c.dataBytes);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(i + 1);
        Handle h = 77;
        uint32_t total = 0;
        ASSERT_EQ(WritePackedPictureHeader(c.width, c.height, c.depth, c.rowBytes, &h), 0);
        ASSERT_EQ(FinishPackedPicture(h, c.packing, table, data, &total), 0);
        EXPECT_EQ(total, c.total);

        std::vector<uint8_t> expected;
        ByteWriter w(expected);
        w.Bytes(std::vector<uint8_t>{'P', 'P', 'a', 'k'});
        w.U32BE(c.total);
        for (uint16_t v : {uint16_t{100}, c.width, c.height, c.depth})
            w.U16BE(v);
        w.U32BE(0);
        w.U32BE(static_cast<uint32_t>(c.rowBytes));
        w.U16BE(c.packing);
        w.U32BE(static_cast<uint32_t>(table.size()));
        w.U32BE(static_cast<uint32_t>(data.size()));
        w.Zeros(24);
        w.Bytes(table);
        w.Bytes(data);
        w.Zeros(c.total - expected.size());
        const std::vector<uint8_t> bytes = Bytes(h);
        EXPECT_EQ(bytes, expected);

        // Host order: every field reversed in place, and back.
        std::vector<uint8_t> swapped = bytes;
        ASSERT_TRUE(SwapPackedPictureHeader(swapped));
        EXPECT_EQ(GetU32(swapped, kPPakRowBytesAt), static_cast<uint32_t>(c.rowBytes));
        EXPECT_EQ(GetU16(swapped, kPPakWidthAt), c.width);
        ASSERT_TRUE(SwapPackedPictureHeader(swapped));
        EXPECT_EQ(swapped, bytes);
        DisposeHandle(h);
    }
}

TEST_F(PackedPictureTest, RoundTripsOverDepthsAndPackings) {
    const std::pair<int, int> sizes[] = {{1, 1}, {10, 3}, {33, 5}, {100, 2}};
    unsigned seed = 11;
    for (int depth : {1, 8, 16, 32}) {
        for (uint16_t packing : {kPPakLzrwRows, kPPakPackBits}) {
            for (auto [width, height] : sizes) {
                SCOPED_TRACE(testing::Message() << "depth " << depth << " packing " << packing << " " << width
                                                << "x" << height);
                DibHandle dib = NewDib(width, height, depth);
                ++seed;
                FillPixels(dib, seed, static_cast<int>(seed % 3));
                const std::vector<DibColor> colors = SomeColors(depth == 8 ? 256 : 0);
                SetDibColorTable(dib, colors);
                const auto rows = RowsOf(dib);
                Handle packed = 0;
                uint32_t total = 0;
                ASSERT_EQ(PackDibAsPackedPicture(dib, packing, 4 * width, MacColorTableFromColors(colors), &packed,
                                                 &total), 0);
                const std::vector<uint8_t> bytes = Bytes(packed);
                EXPECT_EQ(total, bytes.size());
                DibHandle back = 0;
                const char* why = nullptr;
                ASSERT_EQ(DibFromPackedPicture(bytes, total, &back, &why), PPakCheck::Ok) << why;
                EXPECT_EQ(RowsOf(back), rows);
                std::vector<DibColor> table(256);
                table.resize(static_cast<size_t>(GetDibColorTable(back, table)));
                if (depth == 8) {
                    EXPECT_EQ(table, colors);
                } else if (depth == 1) {
                    EXPECT_EQ(table, (std::vector<DibColor>{{0, 0, 0, 0}, {255, 255, 255, 0}}));
                }
                DisposeHandle(back);
                DisposeHandle(packed);
                DisposeHandle(dib);
            }
        }
    }
}

// A picture around hand-made pixel data.
std::vector<uint8_t> Picture(uint16_t width, uint16_t height, uint16_t depth, uint16_t packing,
                             const std::vector<uint8_t>& data, const std::vector<uint8_t>& table = {}) {
    Handle h = 0;
    uint32_t total = 0;
    WritePackedPictureHeader(width, height, depth, 0, &h);
    FinishPackedPicture(h, packing, table, data, &total);
    std::vector<uint8_t> bytes = Bytes(h);
    DisposeHandle(h);
    return bytes;
}

TEST_F(PackedPictureTest, DecodesStoredRowsIntoWindowsLayout) {
    // 16-bit, 2 x 2, runs: each Mac row is 32 bytes (16 pixels), high byte first, top row first.
    const std::vector<uint8_t> runs = {3, 0x7C, 0x00, 0x03, 0xE0, 0xE5, 0,   // red, green, 28 zeros
                                       3, 0x00, 0x1F, 0x7F, 0xFF, 0xE5, 0};  // blue, white
    // 32-bit, 1 x 1, one stored row record: unused, red, green, blue, then 60 bytes of padding.
    std::vector<uint8_t> record = {1, 0, 0, 68, 0x00, 0x11, 0x22, 0x33};
    record.resize(68);
    struct Case {
        std::vector<uint8_t> packed;
        std::vector<uint8_t> rows;  // bottom row first, Windows order
    } cases[] = {
        {Picture(2, 2, 16, kPPakPackBits, runs), {0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03}},
        {Picture(1, 1, 32, kPPakLzrwRows, record), {0x33, 0x22, 0x11, 0x00}},
    };
    for (const Case& c : cases) {
        DibHandle dib = 99;
        const char* why = nullptr;
        ASSERT_EQ(DibFromPackedPicture(c.packed, static_cast<uint32_t>(c.packed.size()), &dib, &why), PPakCheck::Ok)
            << why;
        EXPECT_EQ(RowsOf(dib), c.rows);
        DisposeHandle(dib);
    }
}

TEST_F(PackedPictureTest, RefusesDamagedPicturesBeforeMakingAnything) {
    DibHandle source = NewDib(10, 3, 8);
    FillPixels(source, 5);
    Handle h = 0;
    uint32_t total = 0;
    const std::vector<uint8_t> table = MacColorTableFromColors(SomeColors(256));
    ASSERT_EQ(PackDibAsPackedPicture(source, kPPakLzrwRows, 12, table, &h, &total), 0);
    const std::vector<uint8_t> good = Bytes(h);
    DisposeHandle(h);
    DisposeHandle(source);
    const size_t firstRecord = 58 + 2056;

    // A row record that passes the checks but copies from before the row's start.
    const std::vector<uint8_t> badCopy = Picture(16, 1, 8, kPPakLzrwRows, {0, 0, 0, 8, 0x01, 0x00, 0xF0, 0xFF});
    using Edit = std::function<void(std::vector<uint8_t>&)>;
    struct Case {
        const char* what;
        std::vector<uint8_t> base;
        Edit edit;
        int expectedDelta;  // expected total = actual total + this
        PPakCheck result;
    } cases[] = {
        {"cut inside the header", good, [](auto& b) { b.resize(57); }, 0, PPakCheck::Damaged},
        {"wrong tag", good, [](auto& b) { b[3] = 'K'; }, 0, PPakCheck::Damaged},
        {"other total expected", good, [](auto&) {}, 2, PPakCheck::TotalMismatch},
        {"total past the bytes", good, [](auto& b) { SetBE32(b, kPPakTotalAt, GetBE32(b, kPPakTotalAt) + 2); }, 2,
         PPakCheck::Damaged},
        {"depth 24", good, [](auto& b) { SetBE16(b, kPPakDepthAt, 24); }, 0, PPakCheck::Damaged},
        {"width 0", good, [](auto& b) { SetBE16(b, kPPakWidthAt, 0); }, 0, PPakCheck::Damaged},
        {"height 32768", good, [](auto& b) { SetBE16(b, kPPakHeightAt, 0x8000); }, 0, PPakCheck::Damaged},
        {"packing type 5", good, [](auto& b) { SetBE16(b, kPPakPackingAt, 5); }, 0, PPakCheck::UnknownPacking},
        {"data short of the total", good, [](auto& b) { SetBE32(b, kPPakDataBytesAt, GetBE32(b, 30) - 4); }, 0,
         PPakCheck::Damaged},
        {"table announces fewer entries", good, [](auto& b) { SetBE16(b, 58 + 6, 254); }, 0, PPakCheck::Damaged},
        {"negative record length", good, [=](auto& b) { SetBE16(b, firstRecord + 2, 0xFFF0); }, 0,
         PPakCheck::Damaged},
        {"record flag 2", good, [=](auto& b) { b[firstRecord] = 2; }, 0, PPakCheck::Damaged},
        {"record too short for a row", good, [=](auto& b) { SetBE16(b, firstRecord + 2, 5); }, 0, PPakCheck::Damaged},
        {"one record short", good, [](auto& b) { SetBE16(b, kPPakHeightAt, 4); }, 0, PPakCheck::Damaged},
        {"runs cannot fill 100 rows", Picture(64, 100, 8, kPPakPackBits, {0x81, 0, 0x81, 0}), [](auto&) {}, 0,
         PPakCheck::Damaged},
        {"rows too long for records", Picture(9000, 1, 32, kPPakLzrwRows, std::vector<uint8_t>(8)), [](auto&) {}, 0,
         PPakCheck::Damaged},
        {"copy before the row", badCopy, [](auto&) {}, 0, PPakCheck::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = c.base;
        const uint32_t expected = static_cast<uint32_t>(bytes.size()) + static_cast<uint32_t>(c.expectedDelta);
        c.edit(bytes);
        DibHandle dib = 123;
        const char* why = nullptr;
        EXPECT_EQ(DibFromPackedPicture(bytes, expected, &dib, &why), c.result);
        EXPECT_EQ(dib, 0);
        ASSERT_NE(why, nullptr);
        EXPECT_NE(std::string(why), "");
    }
    DibHandle dib = 0;
    EXPECT_EQ(DibFromPackedPicture(good, static_cast<uint32_t>(good.size()), &dib, nullptr), PPakCheck::Ok);
    DisposeHandle(dib);
}

TEST_F(PackedPictureTest, DeltasWriteInsideTheMapOnly) {
    // 8-bit, 10 wide, 3 high: DIB rows of 12 bytes, Mac rows of 16; columns 12..15 are no pixels.
    struct Case {
        const char* what;
        std::vector<uint8_t> delta;
        bool bottomUp;
        std::vector<std::pair<size_t, uint8_t>> changed;
        uint32_t written, skipped;
    } cases[] = {
        {"first pair", {0, 0, 0xAA, 0xBB}, false, {{0, 0xAA}, {1, 0xBB}}, 1, 0},
        {"second row", {0, 16, 0xAA, 0xBB}, false, {{12, 0xAA}, {13, 0xBB}}, 1, 0},
        {"last pixels of a row", {0, 42, 1, 2}, false, {{34, 1}, {35, 2}}, 1, 0},
        {"bottom up", {0, 0, 0xAA, 0xBB}, true, {{24, 0xAA}, {25, 0xBB}}, 1, 0},
        {"Mac row padding", {0, 12, 1, 2}, false, {}, 0, 1},
        {"pair across a row end", {0, 15, 1, 2}, false, {}, 0, 1},
        {"past the last row", {0, 48, 1, 2}, false, {}, 0, 1},
        {"base raised", {0x80, 0x01, 0, 0, 0, 0, 1, 2}, false, {}, 0, 1},
        {"stray bytes at the end", {0, 2, 5, 6, 0, 4, 7}, false, {{2, 5}, {3, 6}}, 1, 0},
        {"fewer than 4 bytes", {0, 2, 5}, false, {}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> image(36, 0x11);
        std::vector<uint8_t> expected = image;
        for (auto [at, value] : c.changed)
            expected[at] = value;
        const DeltaResult r = ApplyDeltaToRows(image, 12, 16, 3, c.bottomUp, c.delta);
        EXPECT_EQ(image, expected);
        EXPECT_EQ(r.written, c.written);
        EXPECT_EQ(r.skipped, c.skipped);
    }
}

}  // namespace
