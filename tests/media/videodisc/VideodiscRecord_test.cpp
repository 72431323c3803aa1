// The videodisc command texts as a chunk stores them, and the settings built from them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "media/videodisc/VideodiscRecord.h"
#include "format/StackFile.h"

namespace {

std::string Bytes(const VideodiscCommandText& c) { return {reinterpret_cast<const char*>(c.data()), c.size()}; }

std::string Padded(std::string text, size_t size = kVdCommandBytes) {
    text.resize(size, '\0');
    return text;
}

// A chunk of tag 119: the 32-byte header with the rectangle and flags, then both commands.
std::vector<uint8_t> Chunk(const VideodiscCommandText& start, const VideodiscCommandText& end, uint16_t flags) {
    std::vector<uint8_t> c(kChunkHeaderBytes + 2 * kVdCommandBytes, 0);
    c[0] = kTagVideodisc;
    const int16_t rect[4] = {10, 20, 110, 120};
    for (int i = 0; i < 4; ++i) {
        c[kObjectRect + 2 * i] = static_cast<uint8_t>(rect[i]);
        c[kObjectRect + 2 * i + 1] = static_cast<uint8_t>(rect[i] >> 8);
    }
    c[kChunkSoundFlags] = static_cast<uint8_t>(flags);
    std::copy(start.begin(), start.end(), c.begin() + kChunkHeaderBytes);
    std::copy(end.begin(), end.end(), c.begin() + kChunkHeaderBytes + kVdCommandBytes);
    return c;
}

TEST(VideodiscRecord, CommandsAsTheChunkStoresThem) {
    const VideodiscCommandText start = MakeStartCommand("060", '3', 150);
    EXPECT_EQ(Bytes(start), Padded("\x11" "060SP3AD00150SE\r"));
    const VideodiscCommandText end = MakeEndCommand(150, 300, "FR");
    EXPECT_EQ(Bytes(end), Padded("\x1f" "00300SMPL\r\x03" "FR\r"));
    // Start above end plays in reverse.
    EXPECT_EQ(Bytes(MakeEndCommand(400, 300, "TM")), Padded("\x1f" "00300SMMR\r\x03" "TM\r"));

    const std::vector<uint8_t> chunk = Chunk(start, end, 1);
    EXPECT_EQ(chunk[76], 'F');
    EXPECT_EQ(chunk[77], 'R');
    EXPECT_EQ(chunk[38], '3');
    EXPECT_EQ(std::string(chunk.begin() + 41, chunk.begin() + 46), "00150");

    const VideodiscAction a = ReadVideodiscChunk(chunk);
    EXPECT_EQ(Bytes(a.start), Bytes(start));
    EXPECT_EQ(Bytes(a.end), Bytes(end));
    EXPECT_EQ(a.rect.left, 10);
    EXPECT_EQ(a.rect.bottom, 120);
    EXPECT_EQ(a.flags, 1);
    EXPECT_EQ(StartFrameDigits(a.start), "00150");
    EXPECT_EQ(EndFrameDigits(a.end), "00300");
    EXPECT_EQ(AudioDigit(a.start), '3');
    EXPECT_EQ(UnitCode(a.end), "FR");

    // A truncated chunk reads as far as it holds.
    const VideodiscAction cut = ReadVideodiscChunk(std::span(chunk).first(kChunkHeaderBytes + 10));
    EXPECT_EQ(cut.start[0], 17);
    EXPECT_EQ(cut.end[0], 0);
    EXPECT_EQ(ReadVideodiscChunk(std::span(chunk).first(8)).flags, 0);
}

TEST(VideodiscRecord, TextsFromAStackAreBounded) {
    VideodiscCommandText c{};
    c[0] = 40;  // counts as 31
    for (size_t i = 1; i < c.size(); ++i)
        c[i] = '7';
    EXPECT_EQ(CommandText(c).size(), 31u);
    EXPECT_EQ(LeadingDecimal(std::string(40, '1')), LeadingDecimal(std::string(31, '1')));

    // Too short for its frame digits: no frame, so the segment plays nothing.
    VideodiscCommandText shortStart{};
    shortStart[0] = 10;
    std::memcpy(shortStart.data() + 1, "060SP3AD00", 10);
    EXPECT_TRUE(StartFrameDigits(shortStart).empty());
    VideodiscCommandText shortEnd{};
    shortEnd[0] = 3;
    EXPECT_TRUE(EndFrameDigits(shortEnd).empty());
}

TEST(VideodiscRecord, FieldsReadAsFiveDigitNumbers) {
    struct Case {
        const char* typed;
        uint32_t value;
        const char* shown;
    } cases[] = {{"00150", 150, "00150"}, {"1234", 1234, "01234"}, {"12a45", 0, "00000"}, {"", 0, "00000"},
                 {"99999", 99999, "99999"}, {"123456", 12345, "12345"}};
    for (const Case& c : cases) {
        EXPECT_EQ(FiveDigitValue(c.typed), c.value) << c.typed;
        EXPECT_EQ(FiveDigits(FiveDigitValue(c.typed)), c.shown) << c.typed;
    }
    // CLV times: 12345 is 1:23:45 and back.
    EXPECT_EQ(DecimalToHms(12345), 1u | 23u << 8 | 45u << 16);
    EXPECT_EQ(HmsToDecimal(DecimalToHms(12345)), 12345u);
}

TEST(VideodiscRecord, SettingsFromAnActionOrForANewOne) {
    VideodiscCommandText start = MakeStartCommand("030", '1', 5), end = MakeEndCommand(5, 9, "CH");
    const Rect32 rect{1, 2, 3, 4};
    VideodiscSettings s = BuildVideodiscSettings(start, end, rect, 1, true, nullptr);
    EXPECT_EQ(s.state.flags, kVdPositionToStart | kVdChapterFormat | kVdFromAction);
    EXPECT_EQ(s.state.speed, 60);
    EXPECT_EQ(s.state.discType, 'X');
    EXPECT_EQ(s.liveVideo, 1);
    EXPECT_EQ(s.rect.right, 3);
    EXPECT_EQ(Bytes(s.start), Bytes(start));
    EXPECT_EQ(std::string(s.templates.data(), s.templates.size()),
              std::string("060SP3AD00000SE\r\0" "00000SMPL\r\0" "2FR\r", 32));

    VideodiscState player;
    player.flags = kVdDeviceOpen;
    player.discType = kDiscClv;
    VideodiscCommandText newStart{}, newEnd{};
    s = BuildVideodiscSettings(newStart, newEnd, rect, 1, false, &player);
    EXPECT_EQ(Bytes(newStart), Padded("\x11" "060SP3AD12345SE\r"));
    EXPECT_EQ(Bytes(newEnd), Padded("\x1f" "12345SMPL\r\x03" "FR\r"));
    EXPECT_EQ(s.state.flags, kVdDeviceOpen);
    EXPECT_EQ(s.state.discType, kDiscClv);
    EXPECT_EQ(s.liveVideo, 0);
}

TEST(VideodiscRecord, SpeedTableFromTheLastEntryBackward) {
    EXPECT_EQ(SpeedIndexOf("060"), kNormalSpeedIndex);
    EXPECT_EQ(SpeedIndexOf("240"), 8);
    EXPECT_EQ(SpeedIndexOf("001"), 0);
    EXPECT_EQ(SpeedIndexOf("777"), kNormalSpeedIndex);
    EXPECT_STREQ(SpeedEntry(5).label, " 1/2");
    EXPECT_STREQ(SpeedEntry(-1).code, "001S");
    EXPECT_STREQ(SpeedEntry(9).code, "240S");
}

}  // namespace
