// What the host checks of module names and 'NBAs' data before it loads anything, the
// information record it builds, and the one clock of forwarded timer messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/NbaInfo.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

std::vector<uint8_t> NbasData(std::string_view fileName, size_t size = kNbaInfoMinBytes) {
    std::vector<uint8_t> data(size, 0);
    for (size_t i = 0; i < fileName.size() && kNbaInfoFileName + i < data.size(); ++i)
        data[kNbaInfoFileName + i] = static_cast<uint8_t>(fileName[i]);
    return data;
}

}  // namespace

TEST(NbaInfo, OnlyPlainModuleNamesInsideTheFolderAreTaken) {
    const struct {
        std::string name;
        bool safe;
    } cases[] = {{"x.nba", true},      {"Mod.NBA", true},   {"a b.Nba", true},   {"..\\x.nba", false},
                 {"C:\\x.nba", false}, {"C:x.nba", false},  {"a/b.nba", false},  {"a\\b.nba", false},
                 {"x.dll", false},     {"", false},         {".nba", false},     {"x..nba", false},
                 {"x.nba.exe", false}, {"x.nbax", false},   {std::string("x\0.nba", 6), false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsSafeNbaFileName(c.name), c.safe) << "'" << c.name << "'";

    // 'NBAs' data: at least 304 bytes with the name terminated inside its 256, and safe.
    EXPECT_EQ(NbaFileNameOf(NbasData("ok.nba")).value_or("none"), "ok.nba");
    EXPECT_FALSE(NbaFileNameOf(NbasData("ok.nba", kNbaInfoMinBytes - 1)));
    EXPECT_FALSE(NbaFileNameOf(NbasData(std::string(256, 'a'))));  // no terminator in the field
    EXPECT_FALSE(NbaFileNameOf(NbasData("..\\x.nba")));
    EXPECT_FALSE(NbaFileNameOf({}));
    // Short data has no short name or about text to overread.
    EXPECT_EQ(NbaShortNameOf(std::vector<uint8_t>(20, 'n')), "nnnn");
    EXPECT_EQ(NbaAboutTextOf(NbasData("ok.nba")), "");
}

TEST(NbaInfo, TheRecordHoldsTheModuleFactsAtTheirOffsets) {
    NbaModuleFacts facts;
    facts.aboutFlags = 0x0006;
    facts.nbaId = 7001;
    facts.shortName = std::string(40, 's');  // cut to 31
    facts.fileName = "mod.nba";
    facts.aboutText = AboutTextOfResource(std::vector<uint8_t>{'H', 'i', '/', 'x', 0});
    const std::vector<uint8_t> record = MakeNbaInfoRecord(facts);
    ASSERT_EQ(record.size(), 563u);  // 560 and "Hi" and its NUL
    EXPECT_EQ(GetU16(record, kNbaInfoAboutFlags), 0x0006);
    EXPECT_EQ(GetU16(record, kNbaInfoId), 7001);
    EXPECT_EQ(GetU32(record, kNbaInfoPersistent), 0u);
    EXPECT_EQ(NbaShortNameOf(record), std::string(31, 's'));
    EXPECT_EQ(record[kNbaInfoShortName + 31], 0);
    EXPECT_EQ(NbaFileNameOf(record).value_or("none"), "mod.nba");
    EXPECT_EQ(NbaAboutTextOf(record), "Hi");
    for (size_t i = 304; i < 560; ++i)
        ASSERT_EQ(record[i], 0) << i;
}

TEST(NbaInfo, TimerMessagesPassEveryFiftyMillisecondsOnOneClock) {
    NbaTimerGate gate;
    EXPECT_TRUE(gate.Pass(1000));
    EXPECT_FALSE(gate.Pass(1049));
    EXPECT_TRUE(gate.Pass(1050));
    EXPECT_FALSE(gate.Pass(1060));  // the clock restarted at 1050
    EXPECT_TRUE(gate.Pass(1100));
    EXPECT_TRUE(gate.Pass(0x20));   // the millisecond count wrapped: long past
}
