// The tick clock over a fake millisecond count, and the in-place byte swaps.
#include "core/memory/ByteSwap.h"
#include "core/system/Ticks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t g_fakeMilliseconds = 0;
uint32_t FakeClock() { return g_fakeMilliseconds; }

TEST(Ticks, MillisecondsDividedBy17) {
    const MillisecondClock previous = SetMillisecondClock(FakeClock);
    struct Case { uint32_t ms, ticks; };
    const Case cases[] = {
        {0, 0}, {16, 0}, {17, 1}, {1699, 99}, {1700, 100}, {60000, 3529},
        {0xFFFFFFFFu, 252645135u},  // the top of the millisecond count, just before it wraps
    };
    for (const Case& c : cases) {
        g_fakeMilliseconds = c.ms;
        EXPECT_EQ(GetTicks(), c.ticks) << c.ms << " ms";
        EXPECT_EQ(GetMilliseconds(), c.ms);
    }

    g_fakeMilliseconds = 12345;
    const uint32_t start = GetTicks();
    g_fakeMilliseconds += 1700;
    EXPECT_EQ(GetTicks() - start, 100u);

    EXPECT_EQ(SetMillisecondClock(previous), FakeClock);
}

TEST(Ticks, RealClockMovesForward) {
    const uint32_t first = GetMilliseconds();
    uint32_t now = first;
    for (int i = 0; i < 100000000 && now - first < 20; ++i)
        now = GetMilliseconds();
    EXPECT_GE(now - first, 20u) << "the millisecond count stood still";
}

TEST(ByteSwap, SwapsInPlaceWithoutAlignment) {
    uint8_t bytes[7] = {0xAA, 1, 2, 3, 4, 5, 0xBB};
    SwapInPlace32(bytes + 1);
    const uint8_t swapped32[7] = {0xAA, 4, 3, 2, 1, 5, 0xBB};
    EXPECT_EQ(0, std::memcmp(bytes, swapped32, 7));
    SwapInPlace16(bytes + 5);
    const uint8_t swapped16[7] = {0xAA, 4, 3, 2, 1, 0xBB, 5};
    EXPECT_EQ(0, std::memcmp(bytes, swapped16, 7));
}

}  // namespace
