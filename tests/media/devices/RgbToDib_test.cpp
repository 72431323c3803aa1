// The camera's RGB rows as a DIB: rows padded to four bytes, and sizes the data do not hold
// give no picture.
#include <gtest/gtest.h>

#include <vector>

#include "media/devices/Camera.h"

TEST(RgbToDib, PadsRowsAndRefusesSizesTheDataDoNotHold) {
    ASSERT_TRUE(InitMemRefs());
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 3 * 3 * 2; ++i)
        rgb.push_back(static_cast<uint8_t>(i + 1));
    DibHandle dib = RgbToDib(rgb, 3, 2);
    ASSERT_NE(dib, 0);
    {
        LockedDib locked(dib);
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked.layout().rowBytes, 12u);
        EXPECT_EQ(std::vector<uint8_t>(locked.row(0).begin(), locked.row(0).end()),
                  (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
        EXPECT_EQ(std::vector<uint8_t>(locked.row(1).begin(), locked.row(1).end()),
                  (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}));
    }
    DisposeHandle(dib);
    rgb.pop_back();
    EXPECT_EQ(RgbToDib(rgb, 3, 2), 0) << "one byte short";
    EXPECT_EQ(RgbToDib(rgb, 0, 2), 0);
    EXPECT_EQ(RgbToDib(rgb, -3, -2), 0);
    EXPECT_EQ(RgbToDib({}, 40000, 40000), 0);
}
