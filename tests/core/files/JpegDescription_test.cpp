// The 86-byte image description in front of JPEG picture data, byte for byte.
#include "core/files/JpegDescription.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using Desc = std::array<uint8_t, kJpegImageDescSize>;

// The description written out field by field from the record's table.
Desc Expected(uint16_t width, uint16_t height, uint32_t dataSize, uint16_t storedDepth) {
    Desc d{};
    auto put16 = [&](size_t at, uint16_t v) {
        d[at] = static_cast<uint8_t>(v >> 8);
        d[at + 1] = static_cast<uint8_t>(v);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, static_cast<uint16_t>(v >> 16));
        put16(at + 2, static_cast<uint16_t>(v));
    };
    put32(0, 86);
    std::memcpy(&d[4], "jpeg", 4);
    put32(28, 0x200);
    put16(32, width);
    put16(34, height);
    put32(36, 0x00480000);
    put32(40, 0x00480000);
    put32(44, dataSize);
    d[50] = 12;
    std::memcpy(&d[51], "Photo - JPEG", 12);
    put16(82, storedDepth);
    put16(84, 0xFFFF);
    return d;
}

std::string Diff(const Desc& actual, const Desc& expected) {
    std::string s;
    for (size_t i = 0; i < actual.size(); ++i)
        if (actual[i] != expected[i])
            s += " @" + std::to_string(i) + ":" + std::to_string(actual[i]) + "!=" + std::to_string(expected[i]);
    return s;
}

TEST(JpegDescription, MatchesTheRecordByteForByte) {
    Desc out;
    out.fill(0xCC);
    ASSERT_TRUE(BuildJpegImageDesc(out, 640, 480, 24));
    // Data size: 40 x 24 x 2 x 480.
    const Desc expected = Expected(640, 480, 921600, 24);
    EXPECT_EQ(out, expected) << Diff(out, expected);
    const uint8_t start640[] = {0x00, 0x00, 0x00, 0x56, 'j', 'p', 'e', 'g'};
    EXPECT_EQ(std::memcmp(out.data(), start640, sizeof start640), 0);
    const uint8_t sizeBytes[] = {0x00, 0x0E, 0x10, 0x00};  // 921,600
    EXPECT_EQ(std::memcmp(&out[44], sizeBytes, 4), 0);
}

TEST(JpegDescription, DepthAndRowRounding) {
    const struct {
        int32_t width, height, depth;
        uint32_t dataSize;
        uint16_t storedDepth;
    } cases[] = {
        {640, 480, 16, 40u * 16 * 2 * 480, 24},  // 16-bit pictures are described as 24
        {1, 1, 8, 1u * 8 * 2, 8},
        {17, 3, 32, 2u * 32 * 2 * 3, 32},       // rows round up to 16 pixels
        {32767, 32767, 32, 2048u * 32 * 2 * 32767, 32},
    };
    for (const auto& c : cases) {
        Desc out{};
        ASSERT_TRUE(BuildJpegImageDesc(out, c.width, c.height, c.depth)) << c.width << "x" << c.height;
        const Desc expected = Expected(static_cast<uint16_t>(c.width), static_cast<uint16_t>(c.height), c.dataSize,
                                       c.storedDepth);
        EXPECT_EQ(out, expected) << c.width << "x" << c.height << "x" << c.depth << Diff(out, expected);
    }
}

TEST(JpegDescription, RefusesValuesOutOfRange) {
    const int32_t bad[][3] = {{0, 10, 24}, {10, 0, 24}, {-5, 10, 24}, {32768, 10, 24},
                              {10, 70000, 24}, {10, 10, 0}, {10, 10, 33}, {10, 10, -16}};
    for (const auto& b : bad) {
        Desc out;
        out.fill(0xCC);
        EXPECT_FALSE(BuildJpegImageDesc(out, b[0], b[1], b[2])) << b[0] << "x" << b[1] << "x" << b[2];
        EXPECT_EQ(out, Desc{}) << "zeroed after a refusal";
    }
}

}  // namespace
