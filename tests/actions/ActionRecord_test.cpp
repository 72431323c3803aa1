// Chunks of buttons on cards, of 'Actn' and of 'Hlnk' resources: inserting, finding by id and
// removing keep the card records whole, also when a whole action block is saved into a button.
#include "actions/ActionRecord.h"

#include <gtest/gtest.h>

#include "actions/ActionBlock.h"

#include "format/ResFile.h"
#include "tests/stack/CardTestUtil.h"

namespace {

namespace sb = stackbuilder;

// Resource data in memory order, added to the current resource file.
void AddHostResource(const char (&type)[5], uint16_t id, std::vector<uint8_t> data) {
    ASSERT_EQ(SwapResourceDataBytes(ResType(type), data, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    uint16_t given = id;
    const uint8_t name[1] = {0};
    ASSERT_EQ(AddResource(NewHandleFromBytes(data), 0, ResType(type), &given, name), 0);
}

class ActionRecordTest : public cardtest::CardSessionTest {
protected:
    void TearDown() override {
        CloseAllResFiles();
        SetStackResFile(0);
        CardSessionTest::TearDown();
    }
};

TEST_F(ActionRecordTest, ChunksOfButtonsAndResourcesAreFoundByTheirOwnersId) {
    sb::Stack stack;
    sb::Card card = sb::PlainCard(1);
    card.objects = {sb::ShapedButton(4, {0, 0, 50, 20}, "A", 2), sb::TextField(5, {0, 30, 50, 50}, "T", "text")};
    stack.cards = {card};
    Load(stack);
    SetStackResFile(CreateScratchResFile());
    sb::Object logo = sb::Button(0, {}, "");
    logo.chunks.push_back(sb::Chunk{64, 0, {1, 2, 3, 4}, 0, {}, {}, {'f', 'd'}});
    AddHostResource("Actn", 20, sb::ActionRecord(logo));
    sb::Object anim = sb::Button(0, {}, "");
    anim.chunks.push_back(sb::Chunk{61, 0, {}, 0, {}, {}, {'w', 'w', 'w'}});
    AddHostResource("Hlnk", 21, sb::LinkData("link", {'x', 'y'}, &anim));

    const char url[] = "a.b";
    ChunkDesc desc;
    InitChunkDesc(&desc, kTagUrl, kChunkFromBytes, reinterpret_cast<uintptr_t>(url), 3, kActUrl);
    ASSERT_NE(InsertButtonChunk(4, desc), 0u);
    Handle record = 0;
    uint32_t at = 0;
    ASSERT_TRUE(FindButtonChunk(4, kTagUrl, &record, &at));
    EXPECT_EQ(record, GetCurrentCardRecord());
    const std::vector<uint8_t> bytes = HandleToBytes(record);
    EXPECT_EQ(GetU32(bytes, kCardLength), bytes.size());
    EXPECT_EQ(cardtest::CardObjects(bytes).size(), 2u) << "the text object still follows";
    EXPECT_EQ(GetU16(bytes, at + kObjectKind), kTagUrl);

    struct Case {
        uint16_t id, tag;
        bool found;
    } cases[] = {{4, kTagUrl, true}, {20, kTagLogo, true}, {21, kTagUrl, true}, {20, kTagUrl, false}, {99, kTagUrl, false}};
    for (const Case& c : cases) {
        Handle h = 0;
        uint32_t offset = 0;
        ASSERT_EQ(FindActionChunkById(c.id, c.tag, &h, &offset), c.found) << c.id;
        if (c.found) {
            const std::vector<uint8_t> d = HandleToBytes(h);
            EXPECT_EQ(GetU16(d, offset + kObjectKind), c.tag) << c.id;
        }
    }
    EXPECT_EQ(RemoveButtonChunk(4, kTagUrl, kActUrl), 36u);
    EXPECT_FALSE(FindButtonChunk(4, kTagUrl, nullptr, nullptr));
    EXPECT_EQ(GetU32(HandleToBytes(record), kCardLength), GetHandleSize(record));

    // A freehand mask goes into a button record of its own as chunk 130.
    std::vector<uint8_t> button(kButtonHeaderBytes, 0);
    SetU32(button, kObjectLength, kButtonHeaderBytes);
    Handle own = NewHandleFromBytes(button);
    Handle mask = NewHandleFromBytes(std::vector<uint8_t>(29, 0xF0));
    EXPECT_EQ(PutButtonMaskChunk(own, mask), kButtonHeaderBytes);
    const std::vector<uint8_t> withMask = HandleToBytes(own);
    EXPECT_EQ(GetU16(withMask, kButtonHeaderBytes), kTagButtonMask);
    EXPECT_EQ(ChunkPayload(std::span(withMask).subspan(kButtonHeaderBytes)).size(), 29u);
    DisposeHandle(own);
    DisposeHandle(mask);
}

TEST_F(ActionRecordTest, ABlockSavedIntoAButtonLeavesItsCardFitForTheFile) {
    sb::Stack stack;
    sb::Card card = sb::PlainCard(1);
    card.objects = {sb::Button(5, {20, 20, 120, 60}, "Speak"), sb::TextField(6, {0, 70, 50, 90}, "T", "after")};
    stack.cards = {card};
    Load(stack);
    Handle record = 0;
    uint32_t offset = 0;
    ASSERT_TRUE(FindObject(kObjectButton, 5, &record, &offset));
    ActionBlock block{};
    ASSERT_TRUE(LoadActionBlock(record, offset, &block));
    const auto fitForTheFile = [&](const char* when) {
        std::vector<uint8_t> bytes = HandleToBytes(record);
        EXPECT_EQ(GetU32(bytes, kCardLength), bytes.size()) << when;
        EXPECT_EQ(cardtest::CardObjects(bytes).size(), 2u) << when;
        StackConversion cv;
        EXPECT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToFile, cv, nullptr), kStackOk) << when;
    };

    // A sound and a move grow the button inside its card; an empty block shrinks it again.
    block.soundId = 300;
    block.destination = kDestNext;
    ASSERT_TRUE(SaveActionBlock(record, offset, 5, block));
    uint32_t at = 0;
    EXPECT_TRUE(FindObjectChunk(record, offset, kTagSoundResource, &at));
    fitForTheFile("with chunk 83");
    ActionBlock none{};
    ASSERT_TRUE(SaveActionBlock(record, offset, 5, none));
    EXPECT_FALSE(FindObjectChunk(record, offset, kTagSoundResource, &at));
    fitForTheFile("without it");
}

}  // namespace
