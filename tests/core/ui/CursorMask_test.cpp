// Cursor mask buffers: the bit layout, the bounds of SetCursorMaskBit, and making the pair.
#include "core/ui/CursorMask.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(CursorMask, BitsAreMostSignificantFirstInRowsOfWidthOver8) {
    EXPECT_EQ(CursorMaskBytes(32, 32), 128u);
    EXPECT_EQ(CursorMaskBytes(48, 10), 60u);
    EXPECT_EQ(CursorMaskBytes(7, 10), 0u);
    EXPECT_EQ(CursorMaskBytes(32, 0), 0u);

    std::vector<uint8_t> mask(CursorMaskBytes(32, 32), 0);
    const struct {
        int x, y;
        size_t index;
        uint8_t bit;
    } cases[] = {{0, 0, 0, 0x80}, {7, 0, 0, 0x01}, {8, 0, 1, 0x80}, {31, 0, 3, 0x01},
                 {0, 1, 4, 0x80}, {13, 5, 21, 0x04}, {31, 31, 127, 0x01}};
    for (const auto& c : cases) {
        std::vector<uint8_t> before = mask;
        ASSERT_TRUE(SetCursorMaskBit(mask, 32, c.x, c.y)) << c.x << "," << c.y;
        before[c.index] |= c.bit;
        EXPECT_EQ(mask, before) << "pixel " << c.x << "," << c.y;
    }
}

TEST(CursorMask, SetCursorMaskBitStaysInsideTheBuffer) {
    // Guard bytes on both sides show any write outside the mask.
    std::vector<uint8_t> storage(4 + 128 + 4, 0);
    std::span<uint8_t> mask(storage.data() + 4, 128);
    const int outside[][2] = {{-1, 0}, {32, 0}, {0, -1}, {0, 32}, {1000, 1000}, {-2147483647 - 1, 0},
                              {0, 2147483647}};
    for (const auto& p : outside)
        EXPECT_FALSE(SetCursorMaskBit(mask, 32, p[0], p[1])) << p[0] << "," << p[1];
    EXPECT_EQ(storage, std::vector<uint8_t>(storage.size(), 0));

    // A buffer shorter than the cursor is bounded by its own size; a width below 8 has no rows.
    std::vector<uint8_t> shortMask(8, 0);
    EXPECT_TRUE(SetCursorMaskBit(shortMask, 32, 31, 1));
    EXPECT_FALSE(SetCursorMaskBit(shortMask, 32, 0, 2));
    EXPECT_FALSE(SetCursorMaskBit(shortMask, 7, 0, 0));
    EXPECT_EQ(shortMask, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 1}));
}

// Allocation services that fail from a given call on and record what happened.
struct Recorder {
    int allocations = 0;
    int failFrom = 1000;
    int released = 0;
    int noXorReports = 0;
} gRec;

void* Allocate(size_t bytes) {
    if (++gRec.allocations >= gRec.failFrom)
        return nullptr;
    return std::calloc(bytes, 1);
}
void Release(void* block) {
    ++gRec.released;
    std::free(block);
}
void ReportNoXor() { ++gRec.noXorReports; }

constexpr CursorMaskBlockOps kOps = {Allocate, Release, ReportNoXor};

TEST(CursorMask, PairIsMadeWholeOrNotAtAll) {
    void* andMask = &gRec;
    void* xorMask = &gRec;

    gRec = {};
    ASSERT_TRUE(CreateCursorMaskPair(kOps, 128, &andMask, &xorMask));
    EXPECT_NE(andMask, nullptr);
    EXPECT_NE(xorMask, nullptr);
    EXPECT_NE(andMask, xorMask);
    EXPECT_EQ(gRec.noXorReports, 0);
    std::free(andMask);
    std::free(xorMask);

    // No room for the XOR mask: reported, the AND mask given back, failure and both null.
    gRec = {};
    gRec.failFrom = 2;
    andMask = xorMask = &gRec;
    EXPECT_FALSE(CreateCursorMaskPair(kOps, 128, &andMask, &xorMask));
    EXPECT_EQ(andMask, nullptr);
    EXPECT_EQ(xorMask, nullptr);
    EXPECT_EQ(gRec.noXorReports, 1);
    EXPECT_EQ(gRec.released, 1);

    // No room for the AND mask: the allocator warned; no second attempt, nothing to release.
    gRec = {};
    gRec.failFrom = 1;
    andMask = xorMask = &gRec;
    EXPECT_FALSE(CreateCursorMaskPair(kOps, 128, &andMask, &xorMask));
    EXPECT_EQ(andMask, nullptr);
    EXPECT_EQ(xorMask, nullptr);
    EXPECT_EQ(gRec.allocations, 1);
    EXPECT_EQ(gRec.noXorReports, 0);
    EXPECT_EQ(gRec.released, 0);

    // A cursor without rows has no masks.
    gRec = {};
    EXPECT_FALSE(CreateCursorMaskPair(kOps, 0, &andMask, &xorMask));
    EXPECT_EQ(gRec.allocations, 0);
}

}  // namespace
