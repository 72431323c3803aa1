// LZRW1 row records: record layout, round trips over depths and sizes, and damaged records.
#include "graphics/pixels/LzrwRows.h"

#include <gtest/gtest.h>

#include "core/memory/ByteReader.h"
#include "graphics/dib/DibPixels.h"
#include "tests/graphics/DibTestUtil.h"

namespace {

using LzrwRowsTest = DibTest;

// Walks the records: their lengths must chain exactly to the end.
std::vector<int> RecordLengths(const std::vector<uint8_t>& records) {
    std::vector<int> lengths;
    for (size_t at = 0; at + 4 <= records.size();) {
        const int length = ByteReader(records, at + 2).I16BE();
        if (length < 4)
            break;
        lengths.push_back(length);
        at += static_cast<size_t>(length);
    }
    return lengths;
}

TEST_F(LzrwRowsTest, RoundTripsOverDepthsAndSizes) {
    const int widths[] = {1, 5, 10, 16, 17, 33, 100, 260};
    unsigned seed = 3;
    for (int depth : kAllDepths) {
        for (int width : widths) {
            for (int height : {1, 3, 8}) {
                for (int pattern : {0, 1, 2}) {
                    SCOPED_TRACE(testing::Message() << "depth " << depth << " width " << width << " height "
                                                    << height << " pattern " << pattern);
                    DibHandle dib = NewDib(width, height, depth);
                    FillPixels(dib, seed++, pattern);
                    const auto original = RowsOf(dib);
                    ASSERT_TRUE(DibToStoredPixelOrder(dib));
                    Handle records = PackLzrwDibRows(dib);
                    ASSERT_NE(records, 0);
                    const auto bytes = HandleToBytes(records);
                    const auto lengths = RecordLengths(bytes);
                    ASSERT_EQ(lengths.size(), static_cast<size_t>(height));
                    size_t sum = 0;
                    for (size_t i = 0; i < lengths.size(); ++i) {
                        const uint8_t flag = bytes[sum];
                        EXPECT_TRUE(flag == 0 || flag == 1);
                        EXPECT_EQ(bytes[sum + 1], 0);
                        EXPECT_LE(lengths[i], MacRowBytes(depth, width) + 4);
                        if (flag == 1) {
                            EXPECT_EQ(lengths[i], MacRowBytes(depth, width) + 4);
                        }
                        sum += static_cast<size_t>(lengths[i]);
                    }
                    EXPECT_EQ(sum, bytes.size());

                    DibHandle back = NewDib(width, height, depth);
                    EXPECT_TRUE(UnpackLzrwDibRows(back, bytes));
                    ASSERT_TRUE(DibFromStoredPixelOrder(back));
                    EXPECT_EQ(RowsOf(back), original);
                    DisposeHandle(dib);
                    DisposeHandle(records);
                    DisposeHandle(back);
                }
            }
        }
    }
}

TEST_F(LzrwRowsTest, StoredAndCompressedRecords) {
    // Random 8-bit rows do not shrink: stored, flag 1, MacRowBytes + 4 long.
    DibHandle noisy = NewDib(40, 2, 8);
    FillPixels(noisy, 5, 0);
    auto bytes = HandleToBytes(PackLzrwDibRows(noisy));
    ASSERT_EQ(bytes.size(), 2u * (48 + 4));
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 52);
    // The stored data is the Mac row: the DIB row and zero padding.
    auto rows = RowsOf(noisy);
    EXPECT_TRUE(std::equal(rows.begin(), rows.begin() + 40, bytes.begin() + 4));
    EXPECT_TRUE(std::all_of(bytes.begin() + 44, bytes.begin() + 52, [](uint8_t b) { return b == 0; }));

    // A plain row shrinks: flag 0.
    DibHandle plain = NewDib(200, 1, 8);
    auto plainBytes = HandleToBytes(PackLzrwDibRows(plain));
    EXPECT_EQ(plainBytes[0], 0);
    EXPECT_LT(plainBytes.size(), 100u);
}

TEST_F(LzrwRowsTest, RowsTooLongForARecordAreRefused) {
    // 32-bit rows of 8176 pixels take 32704 bytes (fits); 8192 pixels take 32768 (does not).
    DibHandle fits = NewDib(8176, 2, 32);
    FillPixels(fits, 11, 0);
    Handle records = PackLzrwDibRows(fits);
    ASSERT_NE(records, 0);
    DibHandle back = NewDib(8176, 2, 32);
    EXPECT_TRUE(UnpackLzrwDibRows(back, HandleToBytes(records)));
    EXPECT_EQ(RowsOf(back), RowsOf(fits));

    DibHandle tooLong = NewDib(8192, 1, 32);
    EXPECT_EQ(PackLzrwDibRows(tooLong), 0);
    std::vector<uint8_t> record = {1, 0, 0x7F, 0xFF};
    record.resize(32767);
    EXPECT_FALSE(UnpackLzrwDibRows(tooLong, record));
    const auto untouched = RowsOf(tooLong);
    EXPECT_TRUE(std::all_of(untouched.begin(), untouched.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(LzrwRowsTest, DamagedRecordsStopTheWork) {
    DibHandle dib = NewDib(20, 3, 8);  // Mac rows of 32 bytes
    FillPixels(dib, 21, 1);
    const auto good = HandleToBytes(PackLzrwDibRows(dib));
    const auto lengths = RecordLengths(good);
    ASSERT_EQ(lengths.size(), 3u);

    struct Case { const char* what; std::vector<uint8_t> bytes; int rowsFilled; };
    auto with = [&](auto change) {
        auto b = good;
        change(b);
        return b;
    };
    const size_t second = static_cast<size_t>(lengths[0]);
    const Case cases[] = {
        {"intact", good, 3},
        {"last record cut short", with([](auto& b) { b.pop_back(); }), 2},
        {"no third record", std::vector<uint8_t>(good.begin(), good.begin() + second + lengths[1]), 2},
        {"second length 3", with([&](auto& b) { b[second + 2] = 0; b[second + 3] = 3; }), 1},
        {"second length 0", with([&](auto& b) { b[second + 2] = 0; b[second + 3] = 0; }), 1},
        {"second length negative", with([&](auto& b) { b[second + 2] = 0x80; b[second + 3] = 4; }), 1},
        {"second length past the end", with([&](auto& b) { b[second + 2] = 0x70; }), 1},
        {"second flag 2", with([&](auto& b) { b[second] = 2; }), 1},
        {"empty", {}, 0},
        {"three bytes", {1, 0, 0}, 0},
    };
    const auto expected = RowsOf(dib);
    for (const Case& c : cases) {
        DibHandle target = NewDib(20, 3, 8);
        {
            HandleLock lock(target);
            std::fill(lock.get() + 1064, lock.get() + 1064 + 60, 0x99);
        }
        EXPECT_EQ(UnpackLzrwDibRows(target, c.bytes), c.rowsFilled == 3) << c.what;
        const auto rows = RowsOf(target);
        for (int r = 0; r < 3; ++r) {
            const bool filled = r < c.rowsFilled;
            for (int i = 0; i < 20; ++i) {
                const uint8_t want = filled ? expected[r * 20 + i] : 0x99;
                ASSERT_EQ(rows[r * 20 + i], want) << c.what << " row " << r << " byte " << i;
            }
        }
    }

    // A record that decodes to less than a row leaves the rest of that row 0.
    DibHandle target = NewDib(20, 1, 8);
    {
        HandleLock lock(target);
        std::fill(lock.get() + 1064, lock.get() + 1064 + 20, 0x99);
    }
    const std::vector<uint8_t> shortRecord = {1, 0, 0, 7, 5, 6, 7};
    EXPECT_TRUE(UnpackLzrwDibRows(target, shortRecord));
    std::vector<uint8_t> want(20, 0);
    want[0] = 5, want[1] = 6, want[2] = 7;
    EXPECT_EQ(RowsOf(target), want);
}

}  // namespace
