// Action records and the action block: the bytes a save writes, loading them back, and records
// whose chunks do not fit.
#include "actions/ActionBlock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"

namespace {

size_t FolderStrings(int, char* buffer, size_t size) {
    std::snprintf(buffer, size, "Media\\");
    return std::strlen(buffer);
}

class ActionBlockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", FolderStrings));
    }
    void TearDown() override {
        FreeUrlBuffer();
        ClearPendingRequests();
        CloseAllResFiles();
        SetStackResFile(0);
        FreeFolderTable();
        FreeMemRefs();
    }
};

// A fresh 'Actn' record: kind 53, length 136, speed word and timer value 3.
std::vector<uint8_t> FreshRecord(uint16_t id) {
    std::vector<uint8_t> r(kButtonHeaderBytes, 0);
    SetU16(r, kObjectKind, kActionRecordKind);
    SetU16(r, kObjectId, id);
    SetU32(r, kObjectLength, kButtonHeaderBytes);
    SetU16(r, kButtonSpeed, 3);
    SetU16(r, kButtonTimerValue, 3);
    return r;
}

ActionBlock EmptyBlock() {
    ActionBlock b = {};
    b.soundParameter = 127;
    return b;
}

std::vector<uint8_t> Saved(const std::vector<uint8_t>& record, const ActionBlock& block) {
    Handle h = NewHandleFromBytes(record);
    EXPECT_TRUE(SaveActionBlock(h, 0, 9, block));
    std::vector<uint8_t> bytes = HandleToBytes(h);
    DisposeHandle(h);
    return bytes;
}

ActionBlock Loaded(const std::vector<uint8_t>& record) {
    Handle h = NewHandleFromBytes(record);
    ActionBlock b;
    std::memset(&b, 0xCD, sizeof b);  // poisoned: every field must be set
    EXPECT_TRUE(LoadActionBlock(h, 0, &b));
    DisposeHandle(h);
    return b;
}

// The chunks of a record in order: (tag, length, pad flag).
std::vector<std::vector<uint32_t>> Chunks(const std::vector<uint8_t>& r) {
    std::vector<std::vector<uint32_t>> chunks;
    for (uint32_t at = kButtonHeaderBytes; at + kChunkHeaderBytes <= r.size(); at += GetU32(r, at + kObjectLength))
        chunks.push_back({GetU16(r, at), GetU32(r, at + kObjectLength), GetU16(r, at + kObjectFlags)});
    return chunks;
}

TEST_F(ActionBlockTest, AMoveAloneIsTheFixedPartWithItsBit) {
    ActionBlock b = EmptyBlock();
    b.destination = kDestNext;
    b.transition = 14;
    b.transitionSpeed = 16;
    const std::vector<uint8_t> r = Saved(FreshRecord(5), b);
    ASSERT_EQ(r.size(), kButtonHeaderBytes);
    const uint32_t fields[][2] = {{kButtonActionFlags, 0x20}, {kButtonDestination, 0xFFFF}, {kButtonTransition, 14},
                                  {kButtonSpeed, 16}, {kButtonTimerValue, 3}};  // timer mode 0 keeps the value
    for (const auto& [offset, value] : fields)
        EXPECT_EQ(GetU16(r, offset), value) << offset;
    // No destination: the stored transition stays, the flag word is 0.
    const std::vector<uint8_t> none = Saved(r, EmptyBlock());
    EXPECT_EQ(GetU16(none, kButtonActionFlags), 0);
    EXPECT_EQ(GetU16(none, kButtonTransition), 14);
    EXPECT_EQ(DestinationForChoice(2), kDestBack);
    EXPECT_EQ(DestinationForChoice(9), kDestNext);
}

TEST_F(ActionBlockTest, AnAddressIsPaddedAndReadBackInBothForms) {
    ActionBlock b = EmptyBlock();
    std::strcpy(NewUrlBuffer(), "a.b");
    b.urlSet = 1;
    const std::vector<uint8_t> r = Saved(FreshRecord(5), b);
    EXPECT_EQ(LockUrlBuffer(), nullptr);  // used up by the save
    ASSERT_EQ(Chunks(r), (std::vector<std::vector<uint32_t>>{{kTagUrl, 36, kObjectPadded}}));
    EXPECT_EQ(GetU16(r, kButtonActionFlags), kActUrl);
    EXPECT_EQ(ChunkPayload(std::span(r).subspan(kButtonHeaderBytes)).size(), 3u);
    EXPECT_EQ(Loaded(r).urlSet, 1);
    EXPECT_STREQ(LockUrlBuffer(), "a.b");

    char out[256];
    const uint8_t counted[] = {3, 'a', '.', 'b', 0};
    const uint8_t unterminated[] = {'w', 'w', 'w', '.', 'x'};
    EXPECT_EQ(ReadUrlPayload(counted, out, sizeof out), 3u);
    EXPECT_STREQ(out, "a.b");
    EXPECT_EQ(ReadUrlPayload(unterminated, out, sizeof out), 5u);  // stops at the payload's end
    EXPECT_STREQ(out, "www.x");
    std::vector<uint8_t> longText(600, 'x');
    EXPECT_EQ(ReadUrlPayload(longText, out, sizeof out), 255u);
}

TEST_F(ActionBlockTest, EveryActionRoundTripsAndASecondSaveChangesNothing) {
    Handle nba = NewHandleFromBytes(std::vector<uint8_t>{'m', 'o', 'd'});
    Handle logo = NewHandleFromBytes(std::vector<uint8_t>{'f', 'd', ' ', '1', '0'});
    Handle anim = NewHandleFromBytes(std::vector<uint8_t>(34, 7));
    SetFileSpecFromPath(kSlotTargetStack, "C:\\Stacks\\other.stk");
    SetFileSpecFromPath(kSlotLaunchProgram, "C:\\Apps\\paint.exe");
    SetFileSpecFromPath(kSlotLaunchDocument, "C:\\Docs\\a.txt");
    ActionBlock b = EmptyBlock();
    b.destination = 12;
    b.transition = 3;
    b.transitionSpeed = 8;
    b.effectValue = 4;
    b.soundId = 131;
    b.soundFlags = 2;
    b.nbaData = nba;
    b.nbaId = 77;
    b.logoScript = logo;
    b.logoRect = {1, 2, 30, 40};
    b.animationData = anim;
    b.animationRect = {5, 6, 7, 8};
    b.launchOption = 1;
    b.timerMode = 2;
    b.timerValue = 90;
    b.testingChoice = 1;
    std::memcpy(b.videodiscStart, "start", 5);
    std::memcpy(b.videodiscEnd, "end", 3);
    b.videodiscFlags = 4;
    const std::vector<uint8_t> r = Saved(FreshRecord(5), b);
    // Inserted newest first, in the save's order.
    std::vector<uint16_t> tags;
    for (const auto& c : Chunks(r))
        tags.push_back(static_cast<uint16_t>(c[0]));
    EXPECT_EQ(tags, (std::vector<uint16_t>{kTagNba, kTagVideodisc, kTagLogo, kTagAnimation, kTagSoundResource, kTagLaunch,
                                           kTagOtherStack}));
    EXPECT_EQ(GetU16(r, kButtonActionFlags), kActGoTo | kActOtherStack | kActLaunch | kActSoundResource | kActAnimation |
                                              kActLogo | kActVideodisc | kActNba);
    EXPECT_EQ(GetU32(r, kObjectLength), r.size());

    SetFileSpecFromPath(kSlotTargetStack, "");
    SetFileSpecFromPath(kSlotLaunchProgram, "");
    ActionBlock l = Loaded(r);
    EXPECT_EQ(std::vector<int>({l.objectId, l.destination, l.effectValue, l.soundId, l.soundParameter, l.nbaId,
                                l.logoRect.right, l.animationRect.bottom, l.timerValue, l.testingChoice, l.launchOption}),
              std::vector<int>({5, 12, 4, 131, 127, 77, 30, 8, 90, 1, 1}));
    EXPECT_EQ(HandleToBytes(l.nbaData), HandleToBytes(nba));
    EXPECT_EQ(HandleToBytes(l.logoScript), HandleToBytes(logo));
    EXPECT_STREQ(reinterpret_cast<const char*>(l.videodiscEnd), "end");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotTargetStack))), "C:\\Stacks\\other.stk");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotLaunchProgram))), "C:\\Apps\\paint.exe");
    // Without any pending request the sound and the module stay.
    EXPECT_EQ(Saved(r, l), r);
    DisposeActionBlockData(&l);
    for (Handle h : {nba, logo, anim})
        DisposeHandle(h);
}

TEST_F(ActionBlockTest, ChunksThatDoNotFitEndTheWalk) {
    std::vector<uint8_t> r = FreshRecord(5);
    auto addChunk = [&](uint16_t tag, uint32_t length, std::vector<uint8_t> payload) {
        std::vector<uint8_t> c(kChunkHeaderBytes, 0);
        SetU16(c, kObjectKind, tag);
        SetU32(c, kObjectLength, length);
        c.insert(c.end(), payload.begin(), payload.end());
        r.insert(r.end(), c.begin(), c.end());
        SetU32(r, kObjectLength, static_cast<uint32_t>(r.size()));
    };
    addChunk(kTagVideodisc, 36, {'a', 'b', 'c', 'd'});  // a four-byte videodisc payload
    addChunk(kTagUrl, 34, {'x', 'y'});                  // no NUL inside
    SetU16(r, kButtonActionFlags, kActVideodisc | kActUrl);
    ActionBlock l = Loaded(r);
    EXPECT_STREQ(reinterpret_cast<const char*>(l.videodiscStart), "abcd");
    EXPECT_EQ(l.videodiscEnd[0], 0);
    EXPECT_STREQ(LockUrlBuffer(), "xy");

    struct Case {
        const char* what;
        uint32_t length;
    } cases[] = {{"below the header", 30}, {"odd", 35}, {"past the record", 400}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = r;
        SetU32(bad, kButtonHeaderBytes + kObjectLength, c.length);
        uint32_t at = 0;
        EXPECT_FALSE(FindChunk(bad, kTagUrl, &at)) << c.what;
        EXPECT_FALSE(FindChunk(bad, kTagVideodisc, &at)) << c.what;
    }
    // A record length past the data: no record at all.
    SetU32(r, kObjectLength, 5000);
    EXPECT_TRUE(ActionRecordBytes(r).empty());
}

}  // namespace
