// Packed pictures: the run header for margins of one value, the card-picture range, round trips
// through the readers' unpacking, and refusal of headers and streams that do not fit.
#include "stack/pictures/PackedPicture.h"

#include "graphics/dib/Dib.h"
#include "graphics/pixels/Lzrw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

class PackedPictureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override { FreeMemRefs(); }

    // Packs and returns the handle's bytes; the handle is freed.
    static Bytes Pack(const Bytes& rows, uint32_t rowBytes, bool cardPicture) {
        const Handle h = PackPictureRows(rows, rowBytes, cardPicture);
        EXPECT_NE(h, 0);
        if (!h)
            return {};
        const Bytes bytes = HandleToBytes(h);
        DisposeHandle(h);
        return bytes;
    }

    static PackedPictureRuns Runs(const Bytes& packed) {
        PackedPictureRuns runs;
        EXPECT_TRUE(ReadPackedPictureRuns(packed, runs));
        return runs;
    }
};

uint32_t U32LE(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A 32-bit picture (pixels unused, red, green, blue) of w x h with margins of one colour above
// and below a noisy band.
Bytes Picture32(uint32_t w, uint32_t h, uint32_t bandTop, uint32_t bandBottom) {
    Bytes rows(size_t{w} * h * 4);
    std::mt19937 rng(5);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* px = &rows[(size_t{y} * w + x) * 4];
            if (y < bandTop) {
                px[0] = 0; px[1] = 0xFF; px[2] = 0xFF; px[3] = 0xFF;
            } else if (y >= bandBottom) {
                px[0] = 0; px[1] = 0x10; px[2] = 0x20; px[3] = 0x30;
            } else {
                px[0] = 0; px[1] = static_cast<uint8_t>(x); px[2] = static_cast<uint8_t>(rng() % 4); px[3] = static_cast<uint8_t>(y);
            }
        }
    }
    return rows;
}

TEST_F(PackedPictureTest, OneColourCardPacksToTheRunHeader) {
    // 640 x 480 at 8 bits, plus the offscreen's two extra rows, which hold something else.
    const uint32_t rowBytes = 640;
    Bytes rows(size_t{rowBytes} * 482, 0x2A);
    std::fill(rows.end() - 2 * rowBytes, rows.end(), 0x99);
    const Bytes packed = Pack(rows, rowBytes, true);
    ASSERT_EQ(packed.size(), kPackedPictureHeaderBytes);
    const Bytes expected = {0x2A, 0x2A, 0x2A, 0x2A, 0x00, 0xB0, 0x04, 0x00,  // 307200 bytes
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(packed, expected);

    Bytes back(size_t{rowBytes} * 480, 0);
    ASSERT_TRUE(UnpackPictureRows(packed, back));
    EXPECT_TRUE(std::equal(back.begin(), back.end(), rows.begin()));

    // Without the card-picture flag the two extra rows belong to the range.
    const Bytes whole = Pack(rows, rowBytes, false);
    const PackedPictureRuns runs = Runs(whole);
    EXPECT_EQ(runs.leadCount, 480u * rowBytes);
    EXPECT_EQ(runs.trailCount, 2u * rowBytes);
    EXPECT_EQ(runs.trailFill[0], 0x99);
    EXPECT_EQ(whole.size(), kPackedPictureHeaderBytes) << "the runs meet: no stream";
}

TEST_F(PackedPictureTest, MarginsBecomeRunsAndTheMiddleIsCompressed) {
    struct Case {
        uint32_t w, h, bandTop, bandBottom;
    };
    for (const Case& c : {Case{64, 40, 10, 30}, Case{640, 480, 100, 400}, Case{16, 8, 0, 8}, Case{32, 12, 0, 5},
                          Case{32, 12, 7, 12}}) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " band " << c.bandTop << ".." << c.bandBottom);
        const uint32_t rowBytes = c.w * 4;
        const Bytes rows = Picture32(c.w, c.h, c.bandTop, c.bandBottom);
        const Bytes packed = Pack(rows, rowBytes, false);
        const PackedPictureRuns runs = Runs(packed);
        // The band's pixels differ from both margins and from their neighbours; without a
        // margin the run is the first (last) pixel alone.
        EXPECT_EQ(runs.leadCount, std::max(c.bandTop * rowBytes, 4u));
        EXPECT_EQ(runs.trailCount, std::max((c.h - c.bandBottom) * rowBytes, 4u));
        EXPECT_EQ(std::memcmp(runs.leadFill, rows.data(), 4), 0);
        EXPECT_EQ(std::memcmp(runs.trailFill, rows.data() + rows.size() - 4, 4), 0);
        EXPECT_EQ(U32LE(packed, 4), runs.leadCount) << "counts in host order";
        // The stream decodes to exactly the middle.
        const size_t middle = rows.size() - runs.leadCount - runs.trailCount;
        Bytes decoded(middle);
        size_t length = 0;
        ASSERT_TRUE(LzrwDecompress(std::span(packed).subspan(16), decoded, length));
        EXPECT_EQ(length, middle);
        EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), rows.begin() + runs.leadCount));

        Bytes back(rows.size(), 0xEE);
        ASSERT_TRUE(UnpackPictureRows(packed, back));
        EXPECT_EQ(back, rows);
    }
}

TEST_F(PackedPictureTest, RunsNeverOverlap) {
    // The leading run covers all: no trailing run is counted.
    EXPECT_EQ(FindPictureRuns(Bytes(40, 7)).trailCount, 0u);
    // Leading run of 3 words, then one word that is also the trailing value.
    PackedPictureRuns runs = FindPictureRuns(Bytes{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2});
    EXPECT_EQ(runs.leadCount, 12u);
    EXPECT_EQ(runs.trailCount, 4u);
    // A range that is not whole words (1-bit rows of 2 bytes): the trailing words are counted
    // from the end and stop short of the leading run.
    runs = FindPictureRuns(Bytes{5, 5, 5, 5, 5, 5, 5, 5, 5, 5});
    EXPECT_EQ(runs.leadCount, 8u);
    EXPECT_EQ(runs.trailCount, 0u);
    runs = FindPictureRuns(Bytes{5, 5, 5, 5, 9, 9, 9, 9, 9, 9});
    EXPECT_EQ(runs.leadCount, 4u);
    EXPECT_EQ(runs.trailCount, 4u);
    // Fewer than 4 bytes: no runs.
    runs = FindPictureRuns(Bytes{3, 3, 3});
    EXPECT_EQ(runs.leadCount + runs.trailCount, 0u);
}

TEST_F(PackedPictureTest, RoundTripsOverShapesAndSizes) {
    std::mt19937 rng(11);
    for (uint32_t rowBytes : {2u, 6u, 16u, 64u, 1280u}) {
        for (uint32_t height : {1u, 2u, 3u, 5u, 17u, 60u}) {
            for (int shape = 0; shape < 4; ++shape) {
                Bytes rows(size_t{rowBytes} * height);
                for (size_t i = 0; i < rows.size(); ++i) {
                    switch (shape) {
                    case 0: rows[i] = 0x80; break;
                    case 1: rows[i] = static_cast<uint8_t>(rng()); break;
                    case 2: rows[i] = i < rows.size() / 3 ? 1 : i > rows.size() * 2 / 3 ? 2 : static_cast<uint8_t>(i / 7); break;
                    default: rows[i] = static_cast<uint8_t>((i / rowBytes) % 3); break;
                    }
                }
                for (bool card : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "rowBytes " << rowBytes << " height " << height << " shape " << shape << " card " << card);
                    if (card && height < 2) {
                        EXPECT_EQ(PackPictureRows(rows, rowBytes, card), 0);
                        continue;
                    }
                    const Bytes packed = Pack(rows, rowBytes, card);
                    const size_t range = rows.size() - (card ? 2 * size_t{rowBytes} : 0);
                    const PackedPictureRuns runs = Runs(packed);
                    ASSERT_LE(size_t{runs.leadCount} + runs.trailCount, range);
                    EXPECT_EQ(runs.leadCount % 4, 0u);
                    EXPECT_EQ(runs.trailCount % 4, 0u);
                    Bytes back(range, 0xEE);
                    ASSERT_TRUE(UnpackPictureRows(packed, back));
                    EXPECT_TRUE(std::equal(back.begin(), back.end(), rows.begin()));
                }
            }
        }
    }
}

TEST_F(PackedPictureTest, UnpackRefusesWhatDoesNotFit) {
    Bytes rows(256);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = static_cast<uint8_t>(i < 64 ? 3 : i * 5);
    const Bytes good = Pack(rows, 16, false);
    ASSERT_GT(good.size(), kPackedPictureHeaderBytes);
    Bytes back(256);
    ASSERT_TRUE(UnpackPictureRows(good, back));

    auto withCounts = [&](uint32_t lead, uint32_t trail) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i) {
            b[4 + i] = static_cast<uint8_t>(lead >> (8 * i));
            b[12 + i] = static_cast<uint8_t>(trail >> (8 * i));
        }
        return b;
    };
    EXPECT_FALSE(UnpackPictureRows(Bytes(good.begin(), good.begin() + 15), back)) << "short header";
    EXPECT_FALSE(UnpackPictureRows(withCounts(257, 0), back)) << "lead past the range";
    EXPECT_FALSE(UnpackPictureRows(withCounts(253, 4), back)) << "lead taken up to 256, then the trail has no room";
    EXPECT_FALSE(UnpackPictureRows(withCounts(200, 60), back)) << "runs overlap";
    EXPECT_FALSE(UnpackPictureRows(withCounts(0xFFFFFFFC, 8), back)) << "huge lead";
    EXPECT_FALSE(UnpackPictureRows(withCounts(0xFFFFFFFE, 0), back)) << "a lead rounding up past 2^32 (32-bit build)";
    EXPECT_FALSE(UnpackPictureRows(withCounts(64, 0xFFFFFFF0), back)) << "huge trail";
    EXPECT_FALSE(UnpackPictureRows(good, std::span<uint8_t>(back).first(255))) << "stream longer than the middle";
    Bytes longer(257);
    EXPECT_FALSE(UnpackPictureRows(good, longer)) << "stream shorter than the middle";
    Bytes noStream(good.begin(), good.begin() + 16);
    EXPECT_FALSE(UnpackPictureRows(noStream, back)) << "middle left empty";

    // A lead count is taken up to whole words: 253 fills the whole range.
    std::fill(back.begin(), back.end(), 0);
    ASSERT_TRUE(UnpackPictureRows(withCounts(253, 0), back));
    EXPECT_EQ(back, Bytes(256, 3));

    // Runs that fill the range: whatever follows the header is ignored.
    Bytes filled = withCounts(200, 56);
    filled.insert(filled.end(), {0xFF, 0xFF, 0xFF});
    std::fill(back.begin(), back.end(), 0);
    ASSERT_TRUE(UnpackPictureRows(filled, back));
    EXPECT_EQ(back[0], 3);
    EXPECT_EQ(back[199], 3);
    EXPECT_EQ(back[255], good[11]) << "the range's last byte is the trail fill's last";
    EXPECT_EQ(back[200], good[8]);
}

TEST_F(PackedPictureTest, PackPictureTakesABottomUpDib) {
    // 20 x 6 at 8 bits: DIB rows are 20 bytes, Mac rows 32. Row r (bottom-up) holds r + 1 in
    // every pixel but the first, which varies.
    const int width = 20, height = 6;
    for (bool card : {false, true}) {
        for (bool mapped : {false, true}) {
            SCOPED_TRACE(testing::Message() << "card " << card << " mapped " << mapped);
            const DibHandle dib = NewDib(width, height, 8);
            ASSERT_NE(dib, 0);
            {
                LockedDib locked(dib);
                ASSERT_TRUE(locked);
                for (int r = 0; r < height; ++r) {
                    auto row = locked.row(r);
                    std::fill(row.begin(), row.begin() + width, static_cast<uint8_t>(r + 1));
                    row[0] = static_cast<uint8_t>(0x40 + r);
                }
            }
            std::array<uint8_t, 256> map;
            for (int i = 0; i < 256; ++i)
                map[i] = static_cast<uint8_t>(255 - i);
            const Handle h = PackPicture(dib, card, mapped ? map.data() : nullptr);
            ASSERT_NE(h, 0);
            const Bytes packed = HandleToBytes(h);
            DisposeHandle(h);

            // Top-down Mac rows: row y is the DIB's row height-1-y, padded with 0 to 32 bytes.
            const int rows = card ? height - 2 : height;
            Bytes back(size_t{32} * rows, 0xEE);
            ASSERT_TRUE(UnpackPictureRows(packed, back));
            for (int y = 0; y < rows; ++y) {
                const int r = height - 1 - y;
                for (int x = 0; x < 32; ++x) {
                    uint8_t v = x >= width ? 0 : x == 0 ? static_cast<uint8_t>(0x40 + r) : static_cast<uint8_t>(r + 1);
                    if (mapped && x < width)  // the padding is added after the mapping
                        v = map[v];
                    ASSERT_EQ(back[size_t{32} * y + x], v) << "row " << y << " x " << x;
                }
            }
            // The DIB itself was left top-down.
            {
                LockedDib locked(dib);
                ASSERT_TRUE(locked);
                const uint8_t top = mapped ? map[height] : static_cast<uint8_t>(height);
                EXPECT_EQ(locked.row(0)[1], top);
            }
            DisposeHandle(dib);
        }
    }
    // A damaged DIB packs to nothing.
    const Handle junk = NewHandle(30);
    EXPECT_EQ(PackPicture(junk, false, nullptr), 0);
    DisposeHandle(junk);
}

}  // namespace
