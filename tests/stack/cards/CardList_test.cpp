// The card list: insertion by position, lookups by place, id and name, picture holders and their
// chains (a looping chain included), the statistics of a save, and disposal.
#include "tests/stack/CardTestUtil.h"

#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "format/ResFile.h"
#include "tests/support/MemoryFiles.h"

namespace {

using namespace cardtest;

sb::Stack Cards(std::vector<sb::Card> cards) {
    sb::Stack s;
    s.cardWidth = 32;
    s.cardHeight = 8;
    s.cards = std::move(cards);
    return s;
}

sb::Card Named(uint16_t id, std::string name) {
    sb::Card c = sb::PlainCard(id);
    c.name = std::move(name);
    return c;
}

Handle NewRecord(uint16_t id) {
    const Handle record = NewHandleWithEndMark(kNewCardRecordBytes);
    HandleLock lock(record);
    SetU16(lock.bytes(), kCardId, id);
    return record;
}

class CardListTest : public CardSessionTest {};

TEST_F(CardListTest, AddCardRecordInsertsAfterThePositionAndCounts) {
    struct Case {
        int position;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, {"9", "1", "2", "3"}},
        {3, {"1", "2", "3", "9"}},
        {1, {"1", "9", "2", "3"}},
        {-4, {"9", "1", "2", "3"}},
        {99, {"1", "2", "3", "9"}},
    };
    for (const Case& c : cases) {
        Load(Cards({sb::PlainCard(1), sb::PlainCard(2), sb::PlainCard(3)}));
        ASSERT_EQ(GetCardCount(), 3);
        const Handle added = NewRecord(9);
        ASSERT_EQ(AddCardRecord(added, c.position), 0);
        EXPECT_EQ(CardTags(), c.expected) << "position " << c.position;
        EXPECT_EQ(GetCardCount(), 4);
        EXPECT_EQ(CountCards(), 4);
        EXPECT_EQ(GetCardByIndex(GetCardIndex(added)), added);
        DisposeCards();
    }

    // Into an empty list a record always goes first.
    const Handle only = NewRecord(5);
    ASSERT_EQ(AddCardRecord(only, 7), 0);
    EXPECT_EQ(GetCardByIndex(1), only);
    EXPECT_EQ(GetCardByIndex(0), 0);
    EXPECT_EQ(GetCardByIndex(2), 0);
    EXPECT_EQ(GetCardIndex(12345), 2) << "absent: above the list length";
    EXPECT_TRUE(Rec().alerts.empty());
}

TEST_F(CardListTest, FindsCardsByIdAndByNameIgnoringAsciiCase) {
    Load(Cards({Named(4, "Intro"), Named(7, "Quiz \x8E"), Named(9, "")}));
    EXPECT_EQ(GetCardId(FindCardById(7)), 7);
    EXPECT_EQ(FindCardById(8), 0);
    EXPECT_EQ(GetCardId(FindCardByName(PName("iNTRO").data())), 4);
    EXPECT_EQ(GetCardId(FindCardByName(PName("QUIZ \x8E").data())), 7);
    EXPECT_EQ(FindCardByName(PName("Intr").data()), 0);
    EXPECT_EQ(FindCardByName(PName("Intro ").data()), 0);
    EXPECT_EQ(GetCardId(FindCardByName(PName("").data())), 9);
    EXPECT_EQ(FindCardByName(nullptr), 0);
    EXPECT_EQ(GetCardId(GetCurrentCardRecord()), 4);
    EXPECT_EQ(GetCardId(0), 0);
    EXPECT_EQ(GetCardKind(0), 0);
}

TEST_F(CardListTest, PictureHoldersFollowChainsAndStopAtLoops) {
    // 1 holds a picture; 2 -> 1; 3 -> 2 -> 1; 4 names a missing card; 5 <-> 6 loop; 7 names itself.
    Load(Cards({sb::PictureCard(1, sb::SolidPicture(32, 8, 8, 3)), sb::SharedCard(2, 1), sb::SharedCard(3, 2),
                sb::SharedCard(4, 40), sb::SharedCard(5, 6), sb::SharedCard(6, 5), sb::SharedCard(7, 7),
                sb::PlainCard(8)}));
    struct Case {
        uint16_t card, holder, resolved;
    };
    const Case cases[] = {
        {1, 1, 1}, {2, 1, 1}, {3, 1, 2}, {4, 4, 0}, {5, 5, 6}, {6, 6, 5}, {7, 7, 7}, {8, 8, 0},
    };
    for (const Case& c : cases) {
        const Handle card = FindCardById(c.card);
        EXPECT_EQ(GetPictureHolderId(card), c.holder) << "card " << c.card;
        EXPECT_EQ(GetCardId(ResolvePictureResource(card)), c.resolved) << "card " << c.card;
    }
    EXPECT_TRUE(HasBackgroundRecord(FindCardById(1)));
    EXPECT_TRUE(HasBackgroundRecord(FindCardById(3)));
    EXPECT_FALSE(HasBackgroundRecord(FindCardById(8)));
    EXPECT_EQ(ColorTableSize(), 2056u);
}

TEST_F(CardListTest, KindOneWithoutSharersHasNoBackgroundRecord) {
    Load(Cards({sb::PictureCard(1, sb::SolidPicture(32, 8, 8, 3)), sb::PictureCard(2, sb::SolidPicture(32, 8, 8, 3)),
                sb::SharedCard(3, 2)}));
    EXPECT_FALSE(HasBackgroundRecord(FindCardById(1)));
    EXPECT_TRUE(HasBackgroundRecord(FindCardById(2)));
}

TEST_F(CardListTest, OneEmptyCardGivesStatisticsOf228) {
    Load(Cards({sb::PlainCard(1)}));
    StackStatistics s;
    s.cardCount = s.buttons = 0xEEEE;
    EXPECT_EQ(GetStackStatistics(&s), 228u);
    EXPECT_EQ(s.cardCount, 1);
    EXPECT_EQ(s.buttons + s.graphics + s.textFields, 0);
    EXPECT_EQ(s.cardBytes, 228u);
    EXPECT_EQ(s.resourceBytes, 0u);
}

TEST_F(CardListTest, StatisticsCountWhatASaveWritesLeavingMarkedRecordsOut) {
    sb::Card first = sb::PlainCard(1);
    first.objects = {sb::Button(1, {0, 0, 10, 10}, "A"), sb::Button(2, {0, 0, 10, 10}, "B"),
                     sb::TextField(3, {0, 0, 20, 20}, "T", "hello"), sb::Graphic(4, {0, 0, 5, 5}, "G")};
    first.objects[1].flags = kObjectDeletedFlag;
    sb::Card second = sb::PlainCard(2);
    second.objects = {sb::Button(5, {0, 0, 10, 10}, "C")};
    sb::Card third = sb::PlainCard(3);
    third.flags = kCardDeleted;
    third.objects = {sb::Button(6, {0, 0, 10, 10}, "D")};
    sb::Stack stack = Cards({first, second, third});
    const sb::Built built = sb::BuildStack(stack);
    Load(stack);

    const uint32_t firstBytes = built.cardOffsets[1] - built.cardOffsets[0];
    const uint32_t secondBytes = built.cardOffsets[2] - built.cardOffsets[1];
    const auto& offsets = built.objectOffsets[0];
    const uint32_t deletedButton = offsets[2] - offsets[1];
    StackStatistics s;
    EXPECT_EQ(GetStackStatistics(&s), 128 + firstBytes - deletedButton + secondBytes);
    EXPECT_EQ(s.cardCount, 2);
    EXPECT_EQ(s.buttons, 2);
    EXPECT_EQ(s.textFields, 1);
    EXPECT_EQ(s.graphics, 1);
}

TEST_F(CardListTest, ADeletedHolderStillCountsThePictureItHandsOn) {
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(32, 8, 8, 3));
    holder.flags = kCardDeleted;
    sb::Object background = sb::Button(1, {0, 0, 10, 10}, "Bg");
    background.flags = kObjectBackground;
    holder.objects = {background, sb::Button(2, {0, 0, 10, 10}, "Own")};
    sb::Stack stack = Cards({holder, sb::SharedCard(2, 1)});
    const sb::Built built = sb::BuildStack(stack);
    Load(stack);
    const uint32_t backgroundBytes = built.objectOffsets[0][1] - built.objectOffsets[0][0];
    const uint32_t pictureBytes = built.objectOffsets[0][0] - built.cardOffsets[0] - kCardHeaderBytes;
    StackStatistics s;
    EXPECT_EQ(GetStackStatistics(&s), 128 + 100 + pictureBytes + backgroundBytes);
    EXPECT_EQ(s.cardCount, 1);
    EXPECT_EQ(s.buttons, 1);
}

TEST_F(CardListTest, StatisticsAddTheResourceArea) {
    ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
    MemoryFileSystemInUse files;
    constexpr char kPath[] = "C:\\Stacks\\Stats.stk";
    sb::Stack stack = Cards({sb::PlainCard(1)});
    stack.resources.push_back({"Snd ", 7, "beep", 0, 0, std::vector<uint8_t>(10, 0x55)});
    stack.resources.push_back({"Icon", 9, "", 0, 0, std::vector<uint8_t>(4, 0x66)});
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    PutMemoryFile(kPath, bytes);
    SetFileSpecFromPath(kSlotCurrentStack, kPath);
    Load(stack);
    const int32_t ref = OpenResFileAt(GetFileSpec(kSlotCurrentStack), GetBE32(bytes, kHeaderResourceOffset));
    ASSERT_NE(ref, 0);
    SetStackResFile(ref);

    StackStatistics s;
    EXPECT_EQ(GetStackStatistics(&s), bytes.size());
    EXPECT_EQ(s.cardBytes, 228u);
    EXPECT_EQ(s.resourceBytes, (68u + 12) + (68u + 4));

    CloseAllResFiles();
    SetStackResFile(0);
    FreeFolderTable();
}

TEST_F(CardListTest, DisposeCardsRunsTheClosingActionAndEmptiesEverything) {
    sb::Stack stack = Cards({sb::PlainCard(1), sb::PlainCard(2)});
    stack.closingAction = 321;
    Load(stack);
    SetCurrentCardId(2);
    DisposeCards();
    ASSERT_EQ(Rec().actions.size(), 1u);
    EXPECT_EQ(Rec().actions[0].id, 321);
    EXPECT_EQ(Rec().actions[0].label, kStringLeaveStackAction);
    EXPECT_EQ(Rec().actions[0].byClick, 0);
    EXPECT_EQ(Rec().actions[0].waitAfter, 1);
    EXPECT_EQ(CountCards(), 0);
    EXPECT_EQ(GetCardCount(), 0);
    EXPECT_EQ(GetCurrentCardId(), 0);
    EXPECT_EQ(GetCurrentCardRecord(), 0);
    EXPECT_EQ(GetStackHeaderHandle(), 0);
    EXPECT_EQ(MemRefsCount(), 0);

    DisposeCards();  // nothing open: no action runs
    EXPECT_EQ(Rec().actions.size(), 1u);
}

TEST_F(CardListTest, ClearTestingAnswersZeroesEveryCard) {
    Load(Cards({sb::PlainCard(1), sb::PlainCard(2)}));
    for (int i = 1; i <= 2; ++i) {
        HandleLock lock(GetCardByIndex(i));
        SetU32({lock.get(), 100}, kCardTestingAnswers, 0x12345678);
    }
    ClearTestingAnswers();
    for (int i = 1; i <= 2; ++i)
        EXPECT_EQ(GetU32(HandleToBytes(GetCardByIndex(i)), kCardTestingAnswers), 0u);
}

}  // namespace
