// The videodisc records and command texts (see VideodiscRecord.h).
#include "media/videodisc/VideodiscRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr char kTemplates[] = "060SP3AD00000SE\r\0" "00000SMPL\r\0" "2FR\r";
constexpr char kDefaultStart[] = "060SP3AD12345SE\r";
constexpr char kDefaultEnd[] = "12345SMPL\r\x03" "FR\r";
constexpr uint8_t kStartLength = 17;
constexpr uint8_t kEndLength = 31;
constexpr size_t kMaxText = kVdCommandBytes - 1;

constexpr VideodiscSpeed kSpeeds[kSpeedCount] = {
    {"001S", " 2S "}, {"002S", " 1S "}, {"004S", "1/16"}, {"008S", " 1/8"}, {"015S", " 1/4"},
    {"030S", " 1/2"}, {"060S", "Norm"}, {"120S", " x2 "}, {"240S", " x3 "},
};

VideodiscCommandText Command(std::string_view text, uint8_t length) {
    VideodiscCommandText c{};
    c[0] = length;
    std::memcpy(c.data() + 1, text.data(), std::min(text.size(), kMaxText));
    return c;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

}  // namespace

VideodiscSettings BuildVideodiscSettings(VideodiscCommandText& start, VideodiscCommandText& end, const Rect32& rect,
                                         uint16_t liveVideo, bool useAction, const VideodiscState* state) {
    VideodiscSettings s;
    if (useAction) {
        s.liveVideo = liveVideo;
        s.rect = rect;
    } else {
        start = Command(kDefaultStart, kStartLength);
        end = Command(std::string_view(kDefaultEnd, sizeof kDefaultEnd - 1), kEndLength);
    }
    if (state)
        s.state = *state;
    if (useAction)
        s.state.flags |= kVdFromAction;
    ResetVideodiscTemplates(s);
    s.start = start;
    s.end = end;
    return s;
}

void ResetVideodiscTemplates(VideodiscSettings& s) {
    std::memcpy(s.templates.data(), kTemplates, sizeof kTemplates - 1);
}

std::string_view CommandText(const VideodiscCommandText& command) {
    return {reinterpret_cast<const char*>(command.data() + 1), std::min<size_t>(command[0], kMaxText)};
}

std::string_view StartFrameDigits(const VideodiscCommandText& start) {
    const std::string_view text = CommandText(start);
    return text.size() >= kTplStartFrame + 5 ? text.substr(kTplStartFrame, 5) : std::string_view{};
}

std::string_view EndFrameDigits(const VideodiscCommandText& end) {
    const std::string_view text = CommandText(end);
    return text.size() >= 5 ? text.substr(0, 5) : std::string_view{};
}

char AudioDigit(const VideodiscCommandText& start) {
    const std::string_view text = CommandText(start);
    return text.size() > 5 ? text[5] : '3';
}

std::string UnitCode(const VideodiscCommandText& end) {
    return {reinterpret_cast<const char*>(end.data() + 12), 2};
}

VideodiscCommandText MakeStartCommand(std::string_view speedDigits, char audio, uint32_t startFrame) {
    std::string text(speedDigits.substr(0, 3));
    text.resize(3, '0');
    text += "SP";
    text += audio;
    text += "AD" + FiveDigits(startFrame) + "SE\r";
    return Command(text, kStartLength);
}

VideodiscCommandText MakeEndCommand(uint32_t startFrame, uint32_t endFrame, std::string_view unit) {
    std::string text = FiveDigits(endFrame) + "SM" + (startFrame > endFrame ? "MR" : "PL") + "\r\x03";
    text += unit.substr(0, 2);
    text += "\r";
    return Command(text, kEndLength);
}

uint32_t FiveDigitValue(std::string_view text) {
    text = text.substr(0, 5);
    if (!AllDigits(text))
        return 0;
    return LeadingDecimal(text);
}

std::string FiveDigits(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%05u", value % 100000);
    return buffer;
}

uint32_t LeadingDecimal(std::string_view text) {
    uint32_t value = 0;
    for (char ch : text.substr(0, kMaxText)) {
        if (ch < '0' || ch > '9')
            break;
        value = value * 10 + static_cast<uint32_t>(ch - '0');
    }
    return value;
}

uint32_t DecimalToHms(uint32_t hhmmss) {
    const uint32_t hours = hhmmss / 10000, minutes = hhmmss / 100 % 100, seconds = hhmmss % 100;
    return (hours & 0xFF) | (minutes << 8) | (seconds << 16);
}

uint32_t HmsToDecimal(uint32_t hms) {
    return (hms & 0xFF) * 10000 + (hms >> 8 & 0xFF) * 100 + (hms >> 16 & 0xFF);
}

const VideodiscSpeed& SpeedEntry(int index) { return kSpeeds[std::clamp(index, 0, kSpeedCount - 1)]; }

int SpeedIndexOf(std::string_view speedDigits) {
    for (int i = kSpeedCount - 1; i >= 0; --i)
        if (speedDigits.substr(0, 3) == std::string_view(kSpeeds[i].code, 3))
            return i;
    return kNormalSpeedIndex;
}

VideodiscAction ReadVideodiscChunk(std::span<const uint8_t> chunk) {
    VideodiscAction a;
    if (chunk.size() < kChunkHeaderBytes)
        return a;
    a.rect = {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
              GetI16(chunk, kObjectRect + 6)};
    a.flags = GetU16(chunk, kChunkSoundFlags);
    const std::span<const uint8_t> payload = chunk.subspan(kChunkHeaderBytes);
    std::copy_n(payload.begin(), std::min(payload.size(), kVdCommandBytes), a.start.begin());
    if (payload.size() > kVdCommandBytes)
        std::copy_n(payload.begin() + kVdCommandBytes, std::min(payload.size() - kVdCommandBytes, kVdCommandBytes),
                    a.end.begin());
    return a;
}
