// Card requests through the host callback: codes outside the table, the version and count,
// moves with their transitions checked, the card list walked, swapped and sorted by text, cards
// by id, index and name, and card names.
#include "cardview/transitions/QtEffectState.h"
#include "host/requests/RequestRules.h"
#include "tests/host/requests/RequestFixture_win.h"

namespace {

using namespace requesttest;

using RequestsCards = RequestTest;

std::vector<uint16_t> CardIds() {
    std::vector<uint16_t> ids;
    for (int i = 1; i <= CountCards(); ++i)
        ids.push_back(GetCardId(GetCardByIndex(i)));
    return ids;
}

TEST_F(RequestsCards, CodesOutsideTheTableChangeNothingAndTheCardRequestsAnswer) {
    Load(RequestStack());
    SetCurrentCardId(2);
    for (int code : {0, 191, -1, 104, 9}) {
        Block() = {};
        Block().param1 = 1;
        Block().param2 = 0x00080003;
        Block().param3 = Ptr("First");
        Block().handled = 7;
        Block().message = static_cast<uint16_t>(code);
        const std::vector<uint8_t> before = Bytes(Block());
        DispatchCallback(nullptr);
        EXPECT_EQ(Bytes(Block()), before) << code;
        EXPECT_EQ(GetCurrentCardId(), 2) << code;
        EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2, 3})) << code;
    }
    EXPECT_EQ(Request(12).param1, 5u);
    EXPECT_EQ(Block().param2, 0u);
    EXPECT_EQ(Request(14).param1, 3u);

    // The current card, the next ones, the last one's next: 0.
    Request(20);
    EXPECT_EQ(static_cast<Handle>(Block().param1), GetCardByIndex(2));
    EXPECT_EQ(Block().param2, 2u);
    EXPECT_EQ(Block().param3, 2u);
    Request(21);
    EXPECT_EQ(Block().param3, 3u);
    Request(21);
    EXPECT_EQ(Block().param1, 0u);
    Block().param1 = 12345;  // no card
    EXPECT_EQ(Request(21).param1, 0u);
    Request(19);
    EXPECT_EQ(Block().param3, 1u);

    // By id, by index (checked against the list), by name.
    Block().param1 = 3;
    EXPECT_EQ(static_cast<Handle>(Request(117).param1), GetCardByIndex(3));
    for (uint32_t index : {0u, 4u, 0xFFFFFFFFu}) {
        Block().param1 = index;
        EXPECT_EQ(Request(118).param1, 0u) << index;
    }
    Block().param1 = 2;
    EXPECT_EQ(static_cast<Handle>(Request(118).param1), GetCardByIndex(2));
    const std::vector<uint8_t> third = PName(" THIRD");
    Block().param1 = Ptr(third.data());
    Request(181);
    EXPECT_EQ(Block().param1, 3u);
    EXPECT_EQ(Block().param2, 3u);
    EXPECT_EQ(static_cast<Handle>(Block().param3), GetCardByIndex(3));

    // Names: 20 characters store 15; 173 hands out a copy; a handle not in the list does nothing.
    const std::vector<uint8_t> longName = PName("abcdefghijklmnopqrst");
    Block().param1 = static_cast<uint32_t>(GetCardByIndex(1));
    Block().param2 = 1;
    Block().param3 = Ptr(longName.data());
    Request(184);
    EXPECT_TRUE(IsCardChanged());
    Block().param1 = 0;
    Request(173);
    EXPECT_EQ(Block().param1, 2u);
    EXPECT_EQ(PText(Block().param3), "Second");
    Block().param1 = static_cast<uint32_t>(GetCardByIndex(1));
    Request(173);
    EXPECT_EQ(PText(Block().param3), "abcdefghijklmno");
    Block().param1 = 9999;
    Block().param2 = 1;
    Block().param3 = Ptr(longName.data());
    Request(184);
    Block().param1 = 9999;
    EXPECT_EQ(Request(173).param3, 0u);

    // 119: a handle that is no card does nothing; a name deletes that card.
    Block() = {};
    Block().param1 = 9999;
    Request(119);
    Block().param1 = static_cast<uint32_t>(GetCardByIndex(1)) + 1000;
    Request(119);
    EXPECT_EQ(GetCardCount(), 3);
    Block() = {};
    Block().param3 = Ptr("Third");
    Request(119);
    // Undo is cleared, so the deleted record is gone from the list.
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(GetCardCount(), 2);
    EXPECT_EQ(GetCurrentCardId(), 2);

    // 129: a path past 260 characters opens nothing.
    const std::string path = "C:\\" + std::string(258, 'p') + ".stk";
    Block() = {};
    Block().param1 = Ptr(path.c_str());
    Block().handled = 8;
    Request(129);
    EXPECT_EQ(Block().handled, 0u);
    EXPECT_EQ(GetCurrentCardId(), 2);

    // The last card gives way to a fresh one, and the card area takes the stack's size again.
    Block() = {};
    Block().param1 = static_cast<uint32_t>(GetCurrentCardRecord());
    Request(119);
    ASSERT_EQ(CardIds(), (std::vector<uint16_t>{1}));
    Block() = {};
    Block().param1 = static_cast<uint32_t>(GetCurrentCardRecord());
    Request(119);
    ASSERT_EQ(GetCardCount(), 1);
    EXPECT_NE(GetCurrentCardId(), 1);
    RECT client = {};
    GetClientRect(window_, &client);
    const Handle header = GetStackHeaderHandle();
    EXPECT_EQ(client.right, GetHandleWord(header, kHeaderCardWidth));
    EXPECT_EQ(client.bottom, GetHandleWord(header, kHeaderCardHeight));
}

TEST_F(RequestsCards, MovesGoWhereAskedAndANameThatFindsNoCardStays) {
    Load(RequestStack());
    SetCurrentCardId(1);
    Block() = {};
    Request(4);
    EXPECT_EQ(GetCurrentCardId(), 2);
    Request(2);
    EXPECT_EQ(GetCurrentCardId(), 3);
    Request(4);  // round to the first
    EXPECT_EQ(GetCurrentCardId(), 1);
    Request(3);
    EXPECT_EQ(GetCurrentCardId(), 3);
    Request(1);
    EXPECT_EQ(GetCurrentCardId(), 1);

    const std::vector<uint8_t> missing = PName("Nowhere"), second = PName("second");
    Block() = {};
    Block().param3 = Ptr(missing.data());
    Request(5);
    EXPECT_EQ(GetCurrentCardId(), 1);
    Block().param3 = Ptr(second.data());
    Block().param2 = (32u << 16) | 14;
    Request(5);
    EXPECT_EQ(GetCurrentCardId(), 2);
    Block() = {};
    Block().param1 = 3;
    Block().param2 = (24u << 16) | 0;
    Request(5);
    EXPECT_EQ(GetCurrentCardId(), 3);
}

bool IsPlainMove(RequestedMove m) { return m.transition == 3 && m.speed == 8 && m.effect == 0; }

TEST(RequestRules, TransitionsOutsideTheListAndUnknownSpeedsBecomeThePlainMove) {
    EXPECT_TRUE(IsPlainMove(CheckRequestedMove(0, 8, 0, 10)));
    EXPECT_TRUE(IsPlainMove(CheckRequestedMove(14, 24, 0, 10)));
    EXPECT_TRUE(IsPlainMove(CheckRequestedMove(-1, 8, 0, 10)));
    for (int speed : {0, 8, 16, 32}) {
        const RequestedMove kept = CheckRequestedMove(14, speed, 99, 10);
        EXPECT_EQ(kept.transition, 14);
        EXPECT_EQ(kept.speed, speed);
        EXPECT_EQ(kept.effect, 0) << "named transitions play no effect";
    }
    // With the stand-in's ten effects, 28 to 37 play the effect of the id; 38 is none.
    const RequestedMove effect = CheckRequestedMove(37, 16, 5001, 10);
    EXPECT_EQ(effect.transition, 37);
    EXPECT_EQ(effect.effect, 5001);
    EXPECT_TRUE(IsPlainMove(CheckRequestedMove(38, 16, 5001, 10)));
    // Without QuickTime there is no effect transition.
    EXPECT_TRUE(IsPlainMove(CheckRequestedMove(28, 8, 5001, 0)));
    EXPECT_EQ(CheckRequestedMove(27, 8, 0, 0).transition, 27);
}

TEST_F(RequestsCards, SwapsAndSortsOrderTheCardListAndBadIndexesDoNothing) {
    sb::Stack s;
    const char* texts[] = {"pear", "apple", "fig"};
    for (uint16_t id = 1; id <= 3; ++id) {
        s.cards.push_back(sb::PlainCard(id));
        s.cards.back().objects.push_back(sb::TextField(10 + id, {1, 1, 40, 20}, "Fruit", texts[id - 1]));
        s.cards.back().objects.push_back(sb::TextField(20 + id, {1, 21, 40, 40}, "Size", std::to_string(4 - id)));
    }
    Load(s);
    Block() = {};
    Block().param1 = 1;
    Block().param2 = 4;
    Request(62);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2, 3}));
    Block().param2 = 3;
    Request(62);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{3, 2, 1}));

    // By the first text object: apple, fig, pear; descending by "Size": 3, 2, 1 (cards 1, 2, 3).
    Block() = {};
    Request(63);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{2, 3, 1}));
    Block() = {};
    Block().param1 = Ptr("size");
    Block().param2 = 1;
    Request(63);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2, 3}));
    // A range past the list, or backwards, does nothing.
    for (auto [first, last] : {std::pair{1u, 4u}, std::pair{3u, 1u}}) {
        Block() = {};
        Block().param3 = first;
        Block().param4 = last;
        Request(63);
        EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 2, 3}));
    }
    // Cards 2 and 3 only, ascending: pear stays first.
    Block() = {};
    Block().param2 = 0;
    Block().param1 = Ptr("Size");
    Block().param3 = 2;
    Block().param4 = 3;
    Request(63);
    EXPECT_EQ(CardIds(), (std::vector<uint16_t>{1, 3, 2}));
}

}  // namespace
