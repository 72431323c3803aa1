// Arbitrary bytes as a stored videodisc chunk (tag 119): read, its command texts taken apart as
// the player and the dialog take them, and the settings built from them, all within 32 bytes.
#include "media/videodisc/VideodiscRecord.h"
#include "tests/fuzz/FuzzCheck.h"

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
    }
    return 0;
}
