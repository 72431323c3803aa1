// The actions menu's list of an action record: which entries, in which order.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "actions/ActionRecord.h"
#include "core/memory/ByteReader.h"
#include "host/actions/ActionMenu.h"
#include "format/StackFile.h"

namespace {

// An action record in memory order: the fixed part, then chunks of (tag, payload bytes).
struct RecordBytes {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kButtonHeaderBytes, 0);

    RecordBytes() { SetU32(bytes, kObjectLength, kButtonHeaderBytes); }
    RecordBytes& Word(uint32_t at, uint16_t value) {
        SetU16(bytes, at, value);
        return *this;
    }
    RecordBytes& Chunk(uint16_t tag, uint16_t valueWord = 0) {
        std::vector<uint8_t> chunk(kChunkHeaderBytes + 2, 0);
        SetU16(chunk, kObjectKind, tag);
        SetU32(chunk, kObjectLength, static_cast<uint32_t>(chunk.size()));
        SetU16(chunk, kChunkValue, valueWord);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        SetU32(bytes, kObjectLength, static_cast<uint32_t>(bytes.size()));
        return *this;
    }
};

TEST(ActionMenu, EntriesFollowTheActionsInMenuOrder) {
    // Nothing at all: only "N&one"; neither can a cut record give more.
    EXPECT_EQ(BuildActionMenuEntries(RecordBytes().bytes), std::vector<int>{kChoiceNone});
    std::vector<uint8_t> cut = RecordBytes().Chunk(kTagSoundResource).bytes;
    cut.resize(kButtonHeaderBytes - 1);
    EXPECT_EQ(BuildActionMenuEntries(cut), std::vector<int>{kChoiceNone});

    // A sound and the next card: the sound first, the destination last.
    RecordBytes soundAndNext;
    soundAndNext.Word(kButtonActionFlags, kActSoundResource | kActGoTo)
        .Word(kButtonDestination, static_cast<uint16_t>(kDestNext))
        .Chunk(kTagSoundResource, 5);
    EXPECT_EQ(BuildActionMenuEntries(soundAndNext.bytes), (std::vector<int>{kChoiceSounds, kChoiceNextCard}));

    // A bit without its chunk lists nothing; every kind in order, testing before timer.
    RecordBytes all;
    all.Word(kButtonActionFlags, kActSoundFile | kActNba | kActMovie | kActAnimation | kActLogo | kActUrl)
        .Word(kButtonTesting, 1)
        .Word(kButtonTimerMode, kTimerOnce)
        .Word(kButtonDestination, 7)
        .Chunk(kTagSoundFile)
        .Chunk(kTagNba)
        .Chunk(kTagVideodisc)
        .Chunk(kTagAnimation)
        .Chunk(kTagLogo)
        .Chunk(kTagUrl);
    EXPECT_EQ(BuildActionMenuEntries(all.bytes),
              (std::vector<int>{kChoiceSounds, kChoiceNba, kChoiceVideo, kChoiceAnimation, kChoiceLogo, kChoiceTesting,
                                kChoiceTimer, kChoiceAnotherCard}));
    RecordBytes bitOnly;
    bitOnly.Word(kButtonActionFlags, kActSoundResource | kActLogo);
    EXPECT_EQ(BuildActionMenuEntries(bitOnly.bytes), std::vector<int>{kChoiceNone});

    // Without a destination, a launch asking for a program is "&Another Program"; a launch
    // without option bit 0 is "N&one".
    RecordBytes launch;
    launch.Word(kButtonActionFlags, kActLaunch).Chunk(kTagLaunch, 1);
    EXPECT_EQ(BuildActionMenuEntries(launch.bytes), std::vector<int>{kChoiceAnotherProgram});
    RecordBytes document;
    document.Word(kButtonActionFlags, kActLaunch).Chunk(kTagLaunch, 0x4000);
    EXPECT_EQ(BuildActionMenuEntries(document.bytes), std::vector<int>{kChoiceNone});

    // A damaged destination below the special ones is a card id, as the performer takes it.
    RecordBytes damaged;
    damaged.Word(kButtonDestination, 0xFF00);
    EXPECT_EQ(BuildActionMenuEntries(damaged.bytes), std::vector<int>{kChoiceAnotherCard});

    // The special destinations and their codes, both ways.
    const int16_t destinations[] = {-6, -5, -4, -3, -2, -1};
    const int codes[] = {55, 54, 52, 53, 51, 50};
    for (size_t i = 0; i < std::size(codes); ++i) {
        RecordBytes r;
        r.Word(kButtonDestination, static_cast<uint16_t>(destinations[i]));
        EXPECT_EQ(BuildActionMenuEntries(r.bytes), std::vector<int>{codes[i]});
        EXPECT_EQ(ChoiceDestination(codes[i]), destinations[i]);
    }
}

}  // namespace
