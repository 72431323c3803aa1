// Cursor and icon data: 'Crsr' resources in file order and back, the 16 by 16 still cursor, and
// data whose counts, sizes and indexes do not fit.
#include "core/ui/CursorImages.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/memory/ByteReader.h"
#include "tests/core/CursorTestUtil.h"

namespace {

TEST(CursorImages, CursorResourcesRoundTripThroughFileOrder) {
    for (const std::vector<uint8_t>& memory : {MakeStillCursorData(CursorFile(16)), Animated({5, 0, 7}, {2, 0, 1})}) {
        std::vector<uint8_t> file = memory;
        ASSERT_EQ(SwapCursorResourceData(file.data(), static_cast<uint32_t>(file.size()), 1), 1);
        EXPECT_EQ(GetBE16(file, 0), GetU16(memory, 0));
        EXPECT_EQ(GetBE32(file, 2), GetU32(memory, 2));
        // Black and white exchanged in the file: the first frame's entry 0 is white there.
        const uint32_t firstImage = kCursorHeaderBytes + (GetU16(memory, 0) == 2 ? 36 + 36 : 0);
        EXPECT_EQ(file[firstImage + 62], 255);
        std::vector<uint8_t> back = file;
        ASSERT_EQ(SwapCursorResourceData(back.data(), static_cast<uint32_t>(back.size()), 0), 1);
        EXPECT_EQ(back, memory);
    }
    CursorResource read;
    ASSERT_TRUE(ReadCursorResource(Animated({5, 0, 7}, {2, 0, 1}), &read));
    EXPECT_EQ(read.rates, (std::vector<uint32_t>{5, 1, 7}));  // a 0 duration still moves on
    EXPECT_EQ(read.sequence, (std::vector<uint32_t>{2, 0, 1}));
    EXPECT_EQ(read.frames.size(), 3u);
}

TEST(CursorImages, AStillCursorComesBackSixteenBySixteen) {
    const std::vector<uint8_t> data = MakeStillCursorData(CursorFile(32));
    CursorResource read;
    ASSERT_TRUE(ReadCursorResource(data, &read));
    ASSERT_EQ(read.kind, kCursorStill);
    IconImage image;
    ASSERT_TRUE(ReadIconImage(read.still, 0, &image));
    EXPECT_EQ(image.width, 16);
    EXPECT_EQ(image.height, 16);
    EXPECT_EQ(image.bitCount, 4);
    EXPECT_EQ(image.hotX, 8);
    EXPECT_EQ(image.hotY, 4);
    EXPECT_EQ(IconDataSize(read.still), 16u | 16u << 16);
    // The quarters and the mask halves stay where they were.
    const auto pixel = [&](int x, int yTop) {
        const uint8_t b = read.still[image.xorOffset + (15 - yTop) * image.xorRowBytes + x / 2];
        return x % 2 ? b & 15 : b >> 4;
    };
    const auto masked = [&](int x, int yTop) {
        return (read.still[image.andOffset + (15 - yTop) * image.andRowBytes + x / 8] >> (7 - x % 8)) & 1;
    };
    EXPECT_EQ(pixel(0, 0), 1);
    EXPECT_EQ(pixel(7, 7), 1);
    EXPECT_EQ(pixel(8, 0), 2);
    EXPECT_EQ(pixel(3, 12), 2);
    EXPECT_EQ(masked(7, 3), 0);
    EXPECT_EQ(masked(8, 3), 1);
}

TEST(CursorImages, DataThatDoesNotFitIsRefused) {
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
    };
    std::vector<Case> cases;
    std::vector<uint8_t> d = Animated({1, 1}, {0, 5});
    cases.push_back({"sequence index past the frames", d});
    d = Animated({1, 1}, {0, 1});
    SetU32(d, kCursorHeaderBytes + 8, 0x40000000);
    cases.push_back({"step count past the data", d});
    d = Animated({1, 1}, {0, 1});
    SetU32(d, kCursorHeaderBytes + 36 + 16, 0xFFFFFFF0);
    cases.push_back({"frame size past the data", d});
    d = MakeStillCursorData(CursorFile(16));
    SetU32(d, kCursorHeaderBytes + 18, 0xFFFFFFF0);
    cases.push_back({"image offset past the data", d});
    d = MakeStillCursorData(CursorFile(16));
    SetU16(d, kCursorHeaderBytes + 4, 200);
    cases.push_back({"image count past the directory", d});
    cases.push_back({"shorter than the header", std::vector<uint8_t>{1, 0, 0, 0}});
    for (Case& c : cases) {
        const std::vector<uint8_t> before = c.data;
        CursorResource read;
        EXPECT_FALSE(ReadCursorResource(c.data, &read)) << c.what;
        EXPECT_EQ(SwapCursorResourceData(c.data.data(), static_cast<uint32_t>(c.data.size()), 1), 1) << c.what;  // out as is
        EXPECT_EQ(c.data, before) << c.what;
    }
    // Another kind is left as it is.
    d = MakeStillCursorData(CursorFile(16));
    SetU16(d, 0, 3);
    const std::vector<uint8_t> other = d;
    CursorResource read;
    EXPECT_FALSE(ReadCursorResource(d, &read));
    EXPECT_EQ(SwapCursorResourceData(d.data(), static_cast<uint32_t>(d.size()), 0), 1);
    EXPECT_EQ(d, other);
    // An index past the count reads image 0; a file too short for its image gives no size.
    IconImage image;
    EXPECT_TRUE(ReadIconImage(CursorFile(16), 7, &image));
    const std::vector<uint8_t> file = CursorFile(16);
    EXPECT_EQ(IconDataSize(std::span(file).first(60)), 0u);
}

}  // namespace
