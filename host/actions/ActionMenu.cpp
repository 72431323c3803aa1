#include "host/actions/ActionMenu.h"

#include "actions/ActionRecord.h"
#include "core/memory/ByteReader.h"

namespace {

bool HasChunk(std::span<const uint8_t> record, uint16_t tag) {
    uint32_t at = 0;
    return FindChunk(record, tag, &at);
}

// Bit 0 of the launch chunk's option: a program is to be launched.
bool LaunchesProgram(std::span<const uint8_t> record) {
    uint32_t at = 0;
    if (!FindChunk(record, kTagLaunch, &at) || at + kChunkValue + 2 > record.size())
        return false;
    return (GetU16(record, at + kChunkValue) & 1) != 0;
}

}  // namespace

int DestinationChoice(int16_t destination) {
    switch (destination) {
    case 0: return 0;
    case kDestOtherStack: return kChoiceAnotherStack;
    case kDestLastMarked: return kChoiceLastMarked;
    case kDestBack: return kChoiceBack;
    case kDestHome: return kChoiceHomeStack;
    case kDestPrevious: return kChoicePreviousCard;
    case kDestNext: return kChoiceNextCard;
    // Any other value is taken as a card id, as the performer takes it.
    default: return kChoiceAnotherCard;
    }
}

int16_t ChoiceDestination(int code) {
    switch (code) {
    case kChoiceNextCard: return kDestNext;
    case kChoicePreviousCard: return kDestPrevious;
    case kChoiceBack: return kDestBack;
    case kChoiceHomeStack: return kDestHome;
    case kChoiceLastMarked: return kDestLastMarked;
    case kChoiceAnotherStack: return kDestOtherStack;
    default: return 0;
    }
}

std::vector<int> BuildActionMenuEntries(std::span<const uint8_t> bytes) {
    const std::span<const uint8_t> record = ActionRecordBytes(bytes);
    if (record.size() < kButtonHeaderBytes)
        return {kChoiceNone};
    const uint16_t bits = GetU16(record, kButtonActionFlags);
    std::vector<int> codes;
    if ((bits & (kActSoundFile | kActSoundResource)) &&
        (HasChunk(record, kTagSoundResource) || HasChunk(record, kTagSoundFile)))
        codes.push_back(kChoiceSounds);
    if ((bits & kActNba) && HasChunk(record, kTagNba))
        codes.push_back(kChoiceNba);
    if ((bits & (kActMovie | kActVideodisc)) && (HasChunk(record, kTagMovie) || HasChunk(record, kTagVideodisc)))
        codes.push_back(kChoiceVideo);
    if ((bits & kActAnimation) && HasChunk(record, kTagAnimation))
        codes.push_back(kChoiceAnimation);
    if ((bits & kActLogo) && HasChunk(record, kTagLogo))
        codes.push_back(kChoiceLogo);
    if (GetU16(record, kButtonTesting))
        codes.push_back(kChoiceTesting);
    if (GetU16(record, kButtonTimerMode))
        codes.push_back(kChoiceTimer);
    const int16_t destination = static_cast<int16_t>(GetU16(record, kButtonDestination));
    if (destination)
        codes.push_back(DestinationChoice(destination));
    else if ((bits & kActLaunch) && LaunchesProgram(record))
        codes.push_back(kChoiceAnotherProgram);
    else
        codes.push_back(kChoiceNone);
    return codes;
}
