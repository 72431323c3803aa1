// New cards and deleting cards: the picture a new card stores, sharing, the new card's id, the
// advice at exactly 20 cards, the questions before a delete and what each answer does, the card
// shown afterwards, and a stack that keeps at least one card.
#include "tests/stack/CardTestUtil.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

using namespace cardtest;

constexpr int kWidth = 32, kHeight = 8;

sb::Stack Plain(int count, uint16_t nextCardId = 0) {
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    s.nextCardId = nextCardId;
    for (int i = 1; i <= count; ++i)
        s.cards.push_back(sb::PlainCard(static_cast<uint16_t>(i)));
    return s;
}

uint16_t HeaderWord(uint32_t offset) {
    HandleLock lock(GetStackHeaderHandle());
    return GetU16({lock.get(), kStackHeaderBytes}, offset);
}

// The picture of a kind-1 record unpacked into card rows.
std::vector<uint8_t> StoredRows(Handle card) {
    const PictureParts parts = SplitPicture(HandleToBytes(card));
    std::vector<uint8_t> rows(static_cast<size_t>(MacRowBytes(8, kWidth)) * kHeight, 0xAA);
    EXPECT_TRUE(UnpackPictureRows(parts.packed, rows));
    return rows;
}

class CardEditTest : public CardSessionTest {};

TEST_F(CardEditTest, NewCardStoresTheOffscreenAsItsPictureAndGoesToIt) {
    Load(Plain(2, 5));
    SetCurrentCardId(1);
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    NoteCardPicturePainted();  // the pattern was painted on the card

    const Handle card = NewCard(false, false);
    ASSERT_NE(card, 0);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "5", "2"}));
    EXPECT_EQ(GetCardCount(), 3);
    EXPECT_EQ(GetCurrentCardId(), 5);
    EXPECT_EQ(Rec().wentTo, std::vector<uint16_t>{5});
    EXPECT_EQ(HeaderWord(kHeaderNextCardId), 6);
    EXPECT_EQ(Rec().erases, 0);
    EXPECT_TRUE(Rec().alerts.empty());
    EXPECT_TRUE(IsStackChanged());

    const std::vector<uint8_t> bytes = HandleToBytes(card);
    EXPECT_EQ(GetU16(bytes, kCardKind), kCardKindPicture);
    EXPECT_EQ(GetU16(bytes, kCardBackgroundId), 0);
    EXPECT_EQ(GetU16(bytes, kCardDepth), 8);
    EXPECT_EQ(GetU16(bytes, kCardWidth), kWidth);
    EXPECT_EQ(GetU16(bytes, kCardHeight), kHeight);
    EXPECT_EQ(GetU32(bytes, kCardLength), bytes.size());

    const PictureParts parts = SplitPicture(bytes);
    EXPECT_EQ(parts.word0, 8);
    EXPECT_EQ(parts.format, kPictureFormatPacked);
    EXPECT_EQ(parts.tableSize, 2056u);
    const uint32_t pad = (parts.flags & kPicturePadFlag) ? 1 : 0;
    EXPECT_EQ(pad, parts.packed.size() & 1);
    EXPECT_EQ(parts.length, kPictureBlockHeaderBytes + parts.tableSize + parts.packed.size() + pad);
    EXPECT_EQ(MacColorTableCount(parts.table), 256u);
    // Entry 3 of the offscreen's palette: red 3, green 252, blue 1, each in the high byte.
    EXPECT_EQ(GetBE16(parts.table, 8 + 3 * 8 + 2), 3 << 8);
    EXPECT_EQ(GetBE16(parts.table, 8 + 3 * 8 + 4), 252 << 8);
    EXPECT_EQ(GetBE16(parts.table, 8 + 3 * 8 + 6), 1 << 8);
    // The card's rows, top first, without the offscreen's two extra rows.
    EXPECT_EQ(StoredRows(card), PatternRows(kWidth, kHeight));
    EXPECT_EQ(CardObjectsOffset(card), kCardHeaderBytes + parts.length);
    ExpectSavable(card);

    // The card that was current stored its picture too.
    const Handle first = FindCardById(1);
    EXPECT_EQ(GetCardKind(first), kCardKindPicture);
    EXPECT_EQ(StoredRows(first), PatternRows(kWidth, kHeight));
    ExpectSavable(first);
}

TEST_F(CardEditTest, NewCardSharesTheCurrentCardsPictureHolder) {
    sb::Stack s = Plain(0);
    s.cards = {sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 8, 4)), sb::SharedCard(2, 1)};
    Load(s);
    SetCurrentCardId(2);
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    NoteCardPicturePainted();

    const Handle card = NewCard(false, true);
    ASSERT_NE(card, 0);
    const std::vector<uint8_t> bytes = HandleToBytes(card);
    EXPECT_EQ(bytes.size(), 100u);
    EXPECT_EQ(GetU16(bytes, kCardKind), kCardKindShared);
    EXPECT_EQ(GetU16(bytes, kCardBackgroundId), 1);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2", "3"}));
    // Leaving card 2 stored the offscreen into the picture it shares, held by card 1.
    EXPECT_EQ(StoredRows(FindCardById(1)), PatternRows(kWidth, kHeight));
    EXPECT_EQ(GetCardKind(FindCardById(2)), kCardKindShared);
    ExpectSavable(card);

    // A stack's first card has nothing to share: it takes its own picture.
    SetCurrentCardId(0);
    const Handle first = NewCard(false, true);
    EXPECT_EQ(GetCardKind(first), kCardKindPicture);
    EXPECT_EQ(GetCardIndex(first), 1);
}

TEST_F(CardEditTest, BlankNewCardIsErasedAfterItIsEntered) {
    Load(Plain(1));
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    const Handle card = NewCard(true, false);
    ASSERT_NE(card, 0);
    EXPECT_EQ(Rec().erases, 1);
    EXPECT_EQ(GetCardKind(card), kCardKindPicture);
}

TEST_F(CardEditTest, NewCardIdsSkipIdsInUse) {
    Load(Plain(3, 2));  // the header's counter lags behind cards 2 and 3
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    EXPECT_EQ(GetCardId(NewCard(false, false)), 4);
    EXPECT_EQ(HeaderWord(kHeaderNextCardId), 5);
    EXPECT_EQ(GetCardId(NewCard(false, false)), 5);
}

TEST_F(CardEditTest, AdviceToSplitTheStackComesAtExactlyTwentyCards) {
    Load(Plain(18));
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    std::vector<std::pair<int, std::vector<uint32_t>>> seen;
    for (int i = 0; i < 3; ++i) {
        Rec().alerts.clear();
        NewCard(false, false);
        seen.push_back({GetCardCount(), Rec().alerts});
    }
    EXPECT_EQ(seen[0], (std::pair<int, std::vector<uint32_t>>{19, {}}));
    EXPECT_EQ(seen[1], (std::pair<int, std::vector<uint32_t>>{20, {kAlertManyCards}}));
    EXPECT_EQ(seen[2], (std::pair<int, std::vector<uint32_t>>{21, {}}));

    DisposeCards();
    Load(Plain(19));
    SetAdvancedUser(true);
    NewCard(false, false);
    EXPECT_EQ(GetCardCount(), 20);
    EXPECT_TRUE(Rec().alerts.empty()) << "an advanced user is not advised";
}

TEST_F(CardEditTest, NewCardWithoutOffscreenReportsTheFailedPictureStore) {
    Load(Plain(1));
    NoteCardPicturePainted();  // painted, but there is no offscreen to store
    const Handle card = NewCard(false, false);
    ASSERT_NE(card, 0);
    EXPECT_EQ(Rec().alerts, (std::vector<uint32_t>{kAlertPictureNotStored, kAlertPictureNotStored}));
    EXPECT_EQ(GetCardKind(card), kCardKindPlain);
    EXPECT_EQ(GetU16(HandleToBytes(card), kCardBackgroundId), 0);
    EXPECT_EQ(GetCardKind(FindCardById(1)), kCardKindPlain) << "a failed store leaves the record unchanged";
    ExpectSavable(card);
}

TEST_F(CardEditTest, NewCardWithoutMemoryShowsAlert2224AndChangesNothing) {
#ifdef LOOM_WINDOWS
    GTEST_SKIP() << "a full handle table shows a message box in the Windows build";
#endif
    Load(Plain(2));
    std::vector<Handle> filler;
    while (const Handle h = NewHandle(1))
        filler.push_back(h);
    EXPECT_EQ(NewCard(true, true), 0);
    EXPECT_EQ(Rec().alerts.back(), kAlertNotEnoughMemory);
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(GetCardCount(), 2);
    for (Handle h : filler)
        DisposeHandle(h);
}

// Card 1 holds buttons: 1 goes to card 2, 2 goes to card 2 of another stack (chunk 60), 3 goes
// to card 3, 4 names card 2 without the go flag.
sb::Stack LinkedStack() {
    sb::Stack s = Plain(3);
    auto link = [](uint16_t id, uint16_t target, uint16_t flags) {
        sb::Object b = sb::Button(id, {0, 0, 10, 10}, "L" + std::to_string(id));
        b.words.push_back({16, target});
        b.words.push_back({20, flags});
        b.chunks.push_back(sb::Chunk{61, 0, {}, 0, {}, {}, {'g', 'o'}});
        return b;
    };
    s.cards[0].objects = {link(1, 2, 0x20), link(2, 2, 0x20), link(3, 3, 0x20), link(4, 2, 0x01)};
    s.cards[0].objects[1].chunks.push_back(sb::PathChunk(60, "Disk:Stacks:other.stk"));
    return s;
}

TEST_F(CardEditTest, DeletingACardAsksAndOnlyMarksIt) {
    struct Case {
        std::vector<int> answers;
        int result;
        std::vector<std::string> cards;
    };
    const Case cases[] = {
        {{1}, 0, {"1", "2", "3"}},   // No
        {{2}, 1, {"1", "-2", "3"}},  // Yes
        {{}, 0, {"1", "2", "3"}},    // nothing shown
    };
    for (const Case& c : cases) {
        Load(Plain(3));
        ClearStackChanged();
        Rec().answers.assign(c.answers.begin(), c.answers.end());
        EXPECT_EQ(DeleteCardRecord(2, true), c.result);
        EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertDeleteWholeCard});
        EXPECT_EQ(CardTags(), c.cards);
        EXPECT_EQ(GetCardCount(), c.result ? 2 : 3);
        EXPECT_EQ(IsStackChanged(), c.result == 1);
        DisposeCards();
    }
    Load(Plain(3));
    EXPECT_EQ(DeleteCardRecord(3, false), 1);
    EXPECT_EQ(DeleteCardRecord(3, false), 0) << "already deleted";
    EXPECT_EQ(DeleteCardRecord(7, false), 0);
    EXPECT_TRUE(Rec().alerts.empty());
    EXPECT_EQ(GetCardCount(), 2);
    EXPECT_EQ(GetCardId(FindCardById(3)), 3) << "a marked card stays in the list";
}

TEST_F(CardEditTest, ButtonsLinkingToADeletedCardAreOffered) {
    Load(LinkedStack());
    const std::vector<LinkedButton> linked = FindButtonsLinkingTo(2);
    ASSERT_EQ(linked.size(), 1u);
    EXPECT_EQ(GetU16(HandleToBytes(linked[0].record), linked[0].offset + kObjectId), 1);
    EXPECT_EQ(FindButtonsLinkingTo(3).size(), 1u);
    EXPECT_TRUE(FindButtonsLinkingTo(1).empty());

    struct Case {
        int answer;
        int result;
        std::vector<std::string> cards, buttons;
    };
    const Case cases[] = {
        {1, 0, {"1", "2", "3"}, {"1", "2", "3", "4"}},   // Cancel
        {2, 1, {"1", "-2", "3"}, {"1", "2", "3", "4"}},  // No: the buttons stay
        {3, 1, {"1", "-2", "3"}, {"-1", "2", "3", "4"}}, // Yes: they go too
    };
    for (const Case& c : cases) {
        DisposeCards();
        Load(LinkedStack());
        Rec().answers = {c.answer};
        EXPECT_EQ(DeleteCardRecord(2, true), c.result) << "answer " << c.answer;
        EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertButtonsLinkToCard});
        EXPECT_EQ(CardTags(), c.cards) << "answer " << c.answer;
        EXPECT_EQ(ObjectTags(FindCardById(1)), c.buttons) << "answer " << c.answer;
    }
}

TEST_F(CardEditTest, DeletingTheCurrentCardShowsThePreviousOne) {
    struct Case {
        uint16_t current;
        uint16_t shown;
    };
    for (const Case& c : {Case{2, 1}, Case{1, 3}, Case{3, 2}}) {
        Load(Plain(3));
        SetCurrentCardId(c.current);
        DeleteCurrentCard(false);
        EXPECT_EQ(GetCurrentCardId(), c.shown) << "deleting " << c.current;
        EXPECT_EQ(GetCardCount(), 2);
        EXPECT_TRUE(IsCardDeleted(FindCardById(c.current)));
        EXPECT_EQ(Rec().refreshes, 1);
        Rec().refreshes = 0;
        DisposeCards();
    }
    // Marked cards are passed over: with 2 gone, deleting 3 shows 1.
    Load(Plain(3));
    SetCurrentCardId(2);
    DeleteCurrentCard(false);
    SetCurrentCardId(3);
    DeleteCurrentCard(false);
    EXPECT_EQ(GetCurrentCardId(), 1);
    // Each deletion is the one undo step: the second discards the first, and card 2 goes.
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"1", "-3"}));
}

TEST_F(CardEditTest, ALockedCardIsUnlockedOnlyWhenTheUserAgrees) {
    sb::Stack s = Plain(2);
    s.cards[1].flags = kCardLockedFlag;
    Load(s);
    SetCurrentCardId(2);
    Rec().answers = {2};  // No
    DeleteCurrentCard(false);
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertCardLocked});
    EXPECT_FALSE(IsCardDeleted(FindCardById(2)));
    EXPECT_EQ(GetCurrentCardId(), 2);

    Rec().alerts.clear();
    Rec().answers = {1};  // Yes
    DeleteCurrentCard(false);
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertCardLocked});
    const Handle card = FindCardById(2);
    EXPECT_TRUE(IsCardDeleted(card));
    EXPECT_EQ(GetU16(HandleToBytes(card), kCardFlags) & kCardLockedFlag, 0);
    EXPECT_EQ(GetCurrentCardId(), 1);
}

TEST_F(CardEditTest, DeletingTheOnlyCardLeavesOneFreshCard) {
    Load(Plain(1));
    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    Rec().answers = {1};  // No: nothing happens, and no card is made
    DeleteCurrentCard(true);
    EXPECT_EQ(CardTags(), std::vector<std::string>{"1"});

    Rec().alerts.clear();
    Rec().answers = {2};  // Yes
    DeleteCurrentCard(true);
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertDeleteWholeCard});
    EXPECT_EQ(CardTags(), (std::vector<std::string>{"-1", "2"}));
    EXPECT_EQ(GetCardCount(), 1);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_EQ(Rec().erases, 1) << "the fresh card is blank";
    StackStatistics s;
    GetStackStatistics(&s);
    EXPECT_EQ(s.cardCount, 1);
}

}  // namespace
