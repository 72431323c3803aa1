// The card history over a stack read into the card list: one entry for a card left twice, at
// most sixteen entries, going back ending on the oldest, entries of another stack, and the
// recent marked card.
#include <gtest/gtest.h>

#include <vector>

#include "core/files/FileSlots.h"
#include "host/player/CardHistory.h"
#include "host/player/CardNavigationRules.h"
#include "stack/save/SaveStack.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

class CardHistoryTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
        SetFileSpecFromPath(kSlotCurrentStack, "C:\\Stacks\\One.stk");
        SetStackHasFile(true);
        SetRecentCardId(0);
        sb::Stack stack;
        for (uint16_t id = 1; id <= 20; ++id) {
            stack.cards.emplace_back();
            stack.cards.back().id = id;
            stack.cards.back().flags = id == 5 ? kCardMarked : 0;
        }
        Load(stack);
    }
    void TearDown() override {
        FreeCardHistory();
        SetStackHasFile(false);
        FreeFolderTable();
        CardSessionTest::TearDown();
    }
    static void Leave(uint16_t id) {
        SetCurrentCardId(id);
        PushCardHistory();
    }
    static std::vector<uint16_t> History() {  // newest first
        std::vector<uint16_t> ids;
        for (int i = 0; i < CardHistoryCount(); ++i)
            ids.push_back(CardHistoryIdAt(i));
        return ids;
    }
};

TEST_F(CardHistoryTest, OneEntryPerCardLeftAtMostSixteenAndTheOldestStays) {
    Leave(1);
    Leave(1);
    Leave(2);
    Leave(1);  // not the newest any more: recorded again
    EXPECT_EQ(History(), (std::vector<uint16_t>{1, 2, 1}));
    FreeCardHistory();
    for (uint16_t id = 1; id <= 17; ++id)
        Leave(id);
    std::vector<uint16_t> expected;
    for (uint16_t id = 17; id >= 2; --id)
        expected.push_back(id);
    EXPECT_EQ(History(), expected);  // card 1, the oldest, is gone

    uint16_t id = 0;
    bool other = true;
    std::vector<uint16_t> popped;
    while (popped.size() < 18 && PopCardHistory(&id, &other) && !other)
        popped.push_back(id);
    expected.insert(expected.end(), {2, 2});  // going back ends on the oldest, which stays
    EXPECT_EQ(popped, expected);
}

TEST_F(CardHistoryTest, EntriesRememberTheirStackAndMarkedCards) {
    Leave(4);
    Leave(5);  // marked: remembered with its stack
    SetFileSpecFromPath(kSlotScratch, "C:\\Scratch\\Kept.stk");
    SetFileSpecFromPath(kSlotCurrentStack, "C:\\Stacks\\Two.stk");
    Leave(5);  // the same id in another stack is another card
    Leave(6);
    EXPECT_EQ(History(), (std::vector<uint16_t>{6, 5, 5, 4}));
    EXPECT_EQ(GetRecentCardId(), 5);
    EXPECT_STREQ(GetFileSpec(kSlotPreviousStack)->path, "C:\\Stacks\\Two.stk");
    EXPECT_STREQ(GetFileSpec(kSlotScratch)->path, "C:\\Scratch\\Kept.stk");  // lent and given back

    uint16_t id = 0;
    bool other = true;
    PopCardHistory(&id, &other);
    PopCardHistory(&id, &other);
    EXPECT_FALSE(other);
    PopCardHistory(&id, &other);
    EXPECT_TRUE(other);
    EXPECT_STREQ(GetFileSpec(kSlotHistoryStack)->path, "C:\\Stacks\\One.stk");
}

}  // namespace
