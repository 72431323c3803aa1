// The maximum record time: free space over the byte rate, 0 (recording off) when the rate is
// unknown rather than a division by zero.
#include <gtest/gtest.h>

#include "media/video/RecordTime.h"

TEST(RecordTime, SecondsFromFreeSpaceAndZeroWithoutARate) {
    const uint64_t rate = CaptureByteRate(160 * 120 * 3, 66667);  // 15 frames a second
    EXPECT_EQ(rate, 863995u);
    EXPECT_EQ(MaxRecordSeconds(863995u * 42 + 5, rate), 42u);
    EXPECT_EQ(CaptureByteRate(0, 66667), 0u);
    EXPECT_EQ(CaptureByteRate(57600, 0), 0u);
    EXPECT_EQ(MaxRecordSeconds(1u << 30, 0), 0u);
    EXPECT_EQ(RecordTimeText(42, "999999 seconds"), "42 seconds");
    EXPECT_EQ(RecordTimeText(0, "999999 Sekunden"), "0 Sekunden");
    EXPECT_EQ(RecordTimeText(7, "nounit"), "7 ");
}
