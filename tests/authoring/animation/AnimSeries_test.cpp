// Numbered picture series: which names make one, which listed files belong to it, their order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/animation/AnimSeries.h"

TEST(AnimSeries, NamesEndingInDigitsMakeASeriesOthersDoNot) {
    SeriesName s;
    ASSERT_TRUE(SplitSeriesPath("C:\\art\\walk.v2\\frame09.BMP", &s));
    EXPECT_EQ(s.folder, "C:\\art\\walk.v2\\");
    EXPECT_EQ(s.stem, "frame");
    EXPECT_EQ(s.digits, "09");
    EXPECT_EQ(s.extension, ".BMP");
    EXPECT_EQ(SeriesFilePath(s, "10"), "C:\\art\\walk.v2\\frame10.BMP");
    ASSERT_TRUE(SplitSeriesPath("run7", &s));  // no folder, no extension
    EXPECT_EQ(s.stem, "run");
    EXPECT_EQ(s.extension, "");
    EXPECT_FALSE(SplitSeriesPath("C:\\art\\frame.bmp", &s)) << "no trailing digits";
    EXPECT_FALSE(SplitSeriesPath("C:\\art\\0042.bmp", &s)) << "digits only";
    EXPECT_FALSE(SplitSeriesPath("C:\\art7\\frame.bmp", &s)) << "digits of the folder";
    EXPECT_FALSE(SplitSeriesPath("", &s));
}

TEST(AnimSeries, ListedFilesBelongByStemDigitsAndExtension) {
    SeriesName s;
    ASSERT_TRUE(SplitSeriesPath("D:/pics/Frame1.bmp", &s));
    EXPECT_EQ(SeriesDigitsOf(s, "frame12.BMP"), "12");  // case is ignored
    EXPECT_EQ(SeriesDigitsOf(s, "Frame1.bmp"), "1");
    EXPECT_EQ(SeriesDigitsOf(s, "Frame.bmp"), "");
    EXPECT_EQ(SeriesDigitsOf(s, "Frame1a.bmp"), "");
    EXPECT_EQ(SeriesDigitsOf(s, "Frame2.gif"), "");
    EXPECT_EQ(SeriesDigitsOf(s, "Other2.bmp"), "");
    EXPECT_EQ(SeriesDigitsOf(s, "Frame2.bmp.bak"), "");
}

TEST(AnimSeries, ShorterNumbersComeFirstThenByValue) {
    std::vector<std::string> digits = {"10", "9", "1", "011", "100", "02"};
    SortSeriesDigits(&digits);
    EXPECT_EQ(digits, (std::vector<std::string>{"1", "9", "02", "10", "011", "100"}));
}
