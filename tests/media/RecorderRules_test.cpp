// What the recorder works out by itself: the names it proposes and its meter's level.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/RecorderRules.h"

TEST(RecorderRules, NewSoundNamesCountUpAsADecimalPairThatWraps) {
    struct Case {
        std::vector<std::string> names;
        std::string next;
    };
    const Case cases[] = {
        {{}, "NewSnd01"},
        {{"Bark", "NewSnd09"}, "NewSnd10"},
        {{"NewSnd99"}, "NewSnd00"},
        {{"NewSnd19", "NewSnd03", "NewSnd"}, "NewSnd20"},
        {{"newsnd50", "NewSnd07 long"}, "NewSnd08"},
    };
    for (const Case& c : cases) {
        std::string all;
        for (const std::string& n : c.names)
            all += n + ",";
        EXPECT_EQ(NextNewSoundName(c.names), c.next) << all;
    }
}

TEST(RecorderRules, TheMeterReadsTheRecordedSamplesBeforeTheEstimatedPosition) {
    std::vector<uint8_t> buffer(1000, 255);
    for (int i = 0; i < 300; ++i)
        buffer[size_t(i)] = 192;
    // Ahead of what was recorded: it steps back over the unfilled bytes; 99 samples of 64 over a
    // count of 100.
    EXPECT_EQ(MeterLevel(buffer, 800), 63);
    EXPECT_EQ(MeterLevel(buffer, 300), 63);
    EXPECT_EQ(MeterBarHeight(63, 55), 55 * 63 / 128);
    EXPECT_EQ(MeterBarHeight(200, 55), 55) << "a full bar at most";
    // Silence counts nothing; a few loud samples over silence are averaged over the loud ones.
    std::vector<uint8_t> quiet(200, 128);
    EXPECT_EQ(MeterLevel(quiet, 150), 0);
    quiet[140] = 0;
    quiet[141] = 255;
    EXPECT_EQ(MeterLevel(quiet, 150), (128 + 127) / 3);
}
