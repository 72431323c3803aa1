// Arbitrary bytes as a stored videodisc chunk (tag 119): read, its command texts taken apart as
// the player and the dialog take them, the settings built from them, and the commands the
// dialog stores made again from those settings, all within 32 bytes: the new commands hold the
// frames, the speed, the audio and the unit they were made from.
#include <string>

#include "media/videodisc/VideodiscRecord.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

void CheckMadeCommands(const VideodiscSettings& s) {
    const uint32_t start = FiveDigitValue(StartFrameDigits(s.start)), end = FiveDigitValue(EndFrameDigits(s.end));
    const std::string_view speed(SpeedEntry(s.speedIndex).code, 3);
    const VideodiscCommandText first = MakeStartCommand(speed, s.audioCode[0], start);
    FuzzCheck(CommandText(first).size() < kVdCommandBytes && CommandText(first).substr(0, 3) == speed);
    FuzzCheck(FiveDigitValue(StartFrameDigits(first)) == start && AudioDigit(first) == s.audioCode[0]);
    FuzzCheck(std::string_view(SpeedEntry(SpeedIndexOf(speed)).code, 3) == speed);
    const std::string unit(s.unitCode, 2);
    const VideodiscCommandText last = MakeEndCommand(start, end, unit);
    FuzzCheck(CommandText(last).size() < kVdCommandBytes && FiveDigitValue(EndFrameDigits(last)) == end);
    FuzzCheck(UnitCode(last) == unit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 12))
        return 0;
    VideodiscAction action = ReadVideodiscChunk({data, size});
    FuzzCheck(CommandText(action.start).size() < kVdCommandBytes && CommandText(action.end).size() < kVdCommandBytes);
    FuzzCheck(StartFrameDigits(action.start).size() <= 5 && EndFrameDigits(action.end).size() <= 5);
    AudioDigit(action.start);
    UnitCode(action.end);
    FiveDigitValue(StartFrameDigits(action.start));
    LeadingDecimal(CommandText(action.end));
    HmsToDecimal(DecimalToHms(FiveDigitValue(EndFrameDigits(action.end))));
    FuzzCheck(SpeedIndexOf(CommandText(action.start).substr(0, 3)) < kSpeedCount);
    for (bool useAction : {true, false}) {
        VideodiscCommandText start = action.start, end = action.end;
        const VideodiscSettings s = BuildVideodiscSettings(start, end, action.rect, action.flags & kVdActionLiveVideo,
                                                           useAction, nullptr);
        FuzzCheck(s.speedIndex < kSpeedCount && CommandText(start).size() < kVdCommandBytes);
        CheckMadeCommands(s);
    }
    return 0;
}
