// PackBits-style run streams: exact runs for the known cases, round trips of streams and of
// whole DIBs (with the stored pixel orders), and unpacking bounded by input and by the picture.
#include "graphics/pixels/PackBits.h"

#include <gtest/gtest.h>

#include <random>

#include "graphics/dib/DibPixels.h"
#include "tests/graphics/DibTestUtil.h"

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& runs, size_t size) {
    std::vector<uint8_t> out(size, 0xEE);
    auto result = UnpackBits(runs, out);
    out.resize(result.produced);
    return out;
}

TEST(PackBitsCodec, KnownRuns) {
    struct Case { const char* what; std::vector<uint8_t> input, runs; };
    std::vector<uint8_t> distinct130(130);
    for (int i = 0; i < 130; ++i)
        distinct130[i] = static_cast<uint8_t>(i);
    std::vector<uint8_t> runs130 = {127};
    for (int i = 0; i < 128; ++i)
        runs130.push_back(distinct130[i]);
    for (int b : {1, 128, 129})
        runs130.push_back(static_cast<uint8_t>(b));

    const Case cases[] = {
        {"300 equal bytes", std::vector<uint8_t>(300, 0x5A), Bytes({-127, 0x5A, -127, 0x5A, -43, 0x5A})},
        {"130 distinct bytes", distinct130, runs130},
        {"a b b", Bytes({'a', 'b', 'b'}), Bytes({0, 'a', -1, 'b'})},
        {"one byte", Bytes({7}), Bytes({0, 7})},
        {"129 equal", std::vector<uint8_t>(129, 3), Bytes({-127, 3, 0, 3})},
        {"literals then pair at end", Bytes({1, 2, 3, 3}), Bytes({1, 1, 2, -1, 3})},
        {"pair, single, pair", Bytes({4, 4, 5, 6, 6}), Bytes({-1, 4, 0, 5, -1, 6})},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackBitsEncode(c.input), c.runs) << c.what;
        EXPECT_EQ(Unpack(c.runs, c.input.size()), c.input) << c.what;
    }
}

TEST(PackBitsCodec, RoundTripsManyStreams) {
    std::mt19937 rng(42);
    for (size_t size : {1u, 2u, 3u, 127u, 128u, 129u, 130u, 255u, 256u, 257u, 1000u, 5000u}) {
        for (int kind = 0; kind < 4; ++kind) {
            std::vector<uint8_t> input(size);
            uint8_t value = 0;
            for (auto& b : input) {
                if (kind == 0 || rng() % (kind == 1 ? 3 : kind == 2 ? 40 : 300) == 0)
                    value = static_cast<uint8_t>(rng() % (kind == 3 ? 2 : 256));
                b = value;
            }
            auto runs = PackBitsEncode(input);
            EXPECT_EQ(Unpack(runs, size), input) << "size " << size << " kind " << kind;
            // Never the count byte -128.
            for (size_t at = 0; at < runs.size();) {
                const auto c = static_cast<int8_t>(runs[at]);
                ASSERT_NE(c, -128);
                at += c >= 0 ? static_cast<size_t>(c) + 2 : 2;
            }
        }
    }
}

TEST(PackBitsCodec, UnpackingIsBoundedByInputAndOutput) {
    // A literal run cut short by the end of the input gives what it has.
    auto r1 = Unpack(Bytes({5, 1, 2, 3}), 10);
    EXPECT_EQ(r1, Bytes({1, 2, 3}));
    // A repeat count with no value byte gives nothing.
    EXPECT_TRUE(Unpack(Bytes({-3}), 10).empty());
    // -128 is skipped as a run of nothing.
    EXPECT_EQ(Unpack(Bytes({-128, 1, 9, 8, -128, -2, 4}), 10), Bytes({9, 8, 4, 4, 4}));
    // Output full in the middle of a run: stops there, the rest of the input unread.
    std::vector<uint8_t> out(4, 0xEE);
    auto result = UnpackBits(Bytes({-9, 6, 0, 1}), out);
    EXPECT_EQ(result.produced, 4u);
    EXPECT_EQ(result.consumed, 2u);
    EXPECT_EQ(out, Bytes({6, 6, 6, 6}));
    std::vector<uint8_t> none;
    EXPECT_EQ(UnpackBits(Bytes({0, 1}), none).produced, 0u);
}

using PackDibTest = DibTest;

// DIB -> stored order -> runs -> new DIB -> Windows order gives back the DIB, and the runs
// decode to the Mac rows.
TEST_F(PackDibTest, RoundTripsOverDepthsAndSizes) {
    const int widths[] = {1, 3, 10, 16, 17, 31, 33, 64, 129};
    unsigned seed = 7;
    for (int depth : kAllDepths) {
        for (int width : widths) {
            for (int height : {1, 4, 9}) {
                for (int pattern : {0, 1, 2}) {
                    SCOPED_TRACE(testing::Message() << "depth " << depth << " width " << width << " height "
                                                    << height << " pattern " << pattern);
                    DibHandle dib = NewDib(width, height, depth);
                    ASSERT_NE(dib, 0);
                    FillPixels(dib, seed++, pattern);
                    const auto original = HandleToBytes(dib);
                    ASSERT_TRUE(DibToStoredPixelOrder(dib));
                    Handle mac = DibToMacRowsHandle(dib);
                    const auto macRows = RowsOf(mac, RowRule::Mac);
                    Handle runs = PackDibRows(dib);
                    ASSERT_NE(runs, 0);
                    const auto runBytes = HandleToBytes(runs);
                    EXPECT_EQ(runBytes, PackBitsEncode(macRows));
                    EXPECT_EQ(Unpack(runBytes, macRows.size() + 10), macRows);

                    DibHandle back = NewDib(width, height, depth);
                    EXPECT_TRUE(DibFromMacRows(back, runBytes));
                    ASSERT_TRUE(DibFromStoredPixelOrder(back));
                    auto backBytes = HandleToBytes(back);
                    // The colour table is not part of the runs.
                    EXPECT_TRUE(std::equal(backBytes.begin() + 40 + (depth <= 8 ? 4 << depth : 0), backBytes.end(),
                                           original.begin() + 40 + (depth <= 8 ? 4 << depth : 0), original.end()));
                    DisposeHandle(dib);
                    DisposeHandle(mac);
                    DisposeHandle(runs);
                    DisposeHandle(back);
                }
            }
        }
    }
}

TEST_F(PackDibTest, LargeImageGrowsTheOutput) {
    // Random 24-bit pixels pack to more than the 50000 bytes the output starts with.
    DibHandle dib = NewDib(300, 80, 24);
    FillPixels(dib, 99, 0);
    Handle runs = PackDibRows(dib);
    ASSERT_NE(runs, 0);
    EXPECT_GT(GetHandleSize(runs), 50000u);
    DibHandle back = NewDib(300, 80, 24);
    EXPECT_TRUE(DibFromMacRows(back, HandleToBytes(runs)));
    EXPECT_EQ(RowsOf(back), RowsOf(dib));
    EXPECT_EQ(PackDibRows(0), 0);
}

TEST_F(PackDibTest, UnpackingIsBoundedByRunsAndPicture) {
    // 8-bit, width 4: DIB rows of 4 bytes, Mac rows of 16.
    DibHandle dib = NewDib(4, 3, 8);
    // Too few runs: the first row and part of the second, the third untouched.
    std::vector<uint8_t> mac(16 + 2);
    for (size_t i = 0; i < mac.size(); ++i)
        mac[i] = static_cast<uint8_t>(i + 1);
    {
        HandleLock lock(dib);
        std::fill(lock.get() + 1064 + 8, lock.get() + 1064 + 12, 0x77);
    }
    EXPECT_FALSE(DibFromMacRows(dib, PackBitsEncode(mac)));
    EXPECT_EQ(RowsOf(dib), Bytes({1, 2, 3, 4, 17, 18, 0, 0, 0x77, 0x77, 0x77, 0x77}));

    // Runs producing more than the picture: the rest is ignored, nothing is written past it.
    std::vector<uint8_t> many(16 * 3 + 500, 0x42);
    DibHandle full = NewDib(4, 3, 8);
    EXPECT_TRUE(DibFromMacRows(full, PackBitsEncode(many)));
    EXPECT_EQ(RowsOf(full), std::vector<uint8_t>(12, 0x42));
    EXPECT_EQ(HandleToBytes(full).back(), 0);  // the spare bytes behind the rows

    EXPECT_FALSE(DibFromMacRows(full, {}));
    EXPECT_FALSE(DibFromMacRows(0, PackBitsEncode(many)));
}

TEST_F(PackDibTest, OneBitRowsKeepTheirRowBoundaries) {
    // Width 10 at one bit: Mac rows of 2 bytes, DIB rows of 4. Each Mac row starts its own row.
    DibHandle dib = NewDib(10, 3, 1);
    EXPECT_TRUE(DibFromMacRows(dib, PackBitsEncode(Bytes({0xA1, 0xC0, 0xB2, 0x80, 0xC3, 0x40}))));
    EXPECT_EQ(RowsOf(dib), Bytes({0xA1, 0xC0, 0, 0, 0xB2, 0x80, 0, 0, 0xC3, 0x40, 0, 0}));
    Handle runs = PackDibRows(dib);
    EXPECT_EQ(HandleToBytes(runs), PackBitsEncode(Bytes({0xA1, 0xC0, 0xB2, 0x80, 0xC3, 0x40})));
}

}  // namespace
