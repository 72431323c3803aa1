// Find Text over the card records: the search of one text (case, position, bytes above 127), and
// the walk from the current card: object order, searching again, wrapping round, hidden objects,
// read-only and editable fields, background fields with per-card text, and the state kept in its
// handle. Mac Roman stacks are searched in the plug-in (FindTextInPlugin_win_test.cpp).
#include <cstring>

#include "objects/text/FindText.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

sb::Object Field(uint16_t id, std::string text, uint16_t flags = 0, uint16_t options = 0) {
    sb::Object field = sb::TextField(id, {0, 0, 100, 20}, "F" + std::to_string(id), std::move(text));
    field.flags = flags;
    if (options)
        field.words.push_back({kTextOptions, options});
    return field;
}

// Card 1 holds the background field 30 (per-card text: card 1 "apple pie", card 2 "banana
// split"), its own field 31 "the cat sat" and the hidden 32 "zebra cat". Card 2 shares the
// background and has the read-only field 40 "Cat and dog". Card 3 has field 50 "a cat nap".
sb::Stack ThreeCards() {
    sb::Stack s;
    s.cardWidth = 120;
    s.cardHeight = 40;
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(120, 40, 8, 0));
    sb::Object background = Field(30, "", kObjectBackground);
    background.subRecords = {sb::TextEntry(1, "apple pie", {}), sb::TextEntry(2, "banana split", {})};
    holder.objects = {background, Field(31, "the cat sat"), Field(32, "zebra cat", kObjectHidden)};
    sb::Card second = sb::SharedCard(2, 1);
    second.objects = {Field(40, "Cat and dog", 0, kTextReadOnly)};
    sb::Card third = sb::PlainCard(3);
    third.objects = {sb::Button(51, {0, 0, 10, 10}, "cat"), Field(50, "a cat nap")};
    s.cards = {holder, second, third};
    return s;
}

FindState Search(std::string_view text, uint16_t flags = kFindInitialFlags) {
    FindState state;
    state.flags = flags;
    SetFindText(state, std::span<const char>(text.data(), text.size()));
    return state;
}

struct Match {
    uint16_t card, object;
    uint32_t offset;
    bool operator==(const Match&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Match& m) {
    return out << "card " << m.card << " object " << m.object << " at " << m.offset;
}

constexpr Match kNone{0, 0, 0};

Match Find(FindState& state, uint16_t fromCard, FoundText* found = nullptr) {
    FoundText local;
    FoundText* out = found ? found : &local;
    if (!FindTextInCards(state, FindCardById(fromCard), false, out))
        return kNone;
    EXPECT_EQ(out->cardId, state.cardId);
    EXPECT_EQ(out->objectId, state.objectId);
    EXPECT_EQ(out->offset, state.offset);
    return {out->cardId, out->objectId, out->offset};
}

class FindTextTest : public CardSessionTest {};

}  // namespace

TEST(SearchInText, CaseBytesAndPositions) {
    struct Case {
        const char* pattern;
        const char* text;
        uint32_t from;
        bool caseSensitive;
        bool found;
        uint32_t at;
    };
    const Case cases[] = {
        {"cat", "The Cat and the cat", 0, false, true, 4},
        {"cat", "The Cat and the cat", 0, true, true, 16},
        {"Cat", "the cat", 0, true, false, 0},
        {"cat", "The Cat and the cat", 5, false, true, 16},
        {"cat", "cat", 1, false, false, 0},
        {"cat", "cat", 9, false, false, 0},
        {"long pattern", "short", 0, false, false, 0},
        {"", "text", 0, false, false, 0},
        {"\xE9t\xE9", "\xC9T\xC9 \xE9T\xE9", 0, false, true, 4},  // only ASCII letters fold
    };
    for (const Case& c : cases) {
        uint32_t position = c.from;
        EXPECT_EQ(SearchInText(Bytes(c.pattern), Bytes(c.text), &position, c.caseSensitive), c.found)
            << c.pattern << " in " << c.text << " from " << c.from;
        EXPECT_EQ(position, c.at) << c.pattern << " in " << c.text << " from " << c.from;
    }
}

TEST_F(FindTextTest, SearchAgainWalksObjectsThenCardsAndWrapsRound) {
    Load(ThreeCards());
    FindState state = Search("cat");
    EXPECT_EQ(Find(state, 1), (Match{1, 31, 4})) << "the hidden field and the background's text are passed over";
    EXPECT_EQ(state.objectIndex, 2u);
    const Match walk[] = {{2, 40, 0}, {3, 50, 2}, {1, 31, 4}};
    for (const Match& next : walk) {
        state.flags |= kFindAgain;
        const uint16_t from = GetCurrentCardId();
        EXPECT_EQ(Find(state, from), next);
        EXPECT_FALSE(state.flags & kFindAgain) << "a search again is one search";
        SetCurrentCardId(next.card);
    }
    state = Search("Cat", kFindAllFields | kFindCaseSensitive);
    EXPECT_EQ(Find(state, 1), (Match{2, 40, 0}));
    EXPECT_EQ(Find(state = Search("zebra"), 1), kNone) << "hidden objects are never searched";
    EXPECT_EQ(Find(state = Search("CAT NAP"), 3), (Match{3, 50, 2})) << "the button before it is no text";
}

TEST_F(FindTextTest, FieldKindsAndBackgroundTextPerCard) {
    Load(ThreeCards());
    FindState state = Search("cat", kFindEditable | kFindWrap);
    EXPECT_EQ(Find(state, 2), (Match{3, 50, 2})) << "the read-only field is left out";
    state = Search("cat", kFindReadOnly | kFindWrap);
    EXPECT_EQ(Find(state, 1), (Match{2, 40, 0})) << "only the read-only field";
    state = Search("banana", kFindInitialFlags);
    EXPECT_EQ(Find(state, 1), (Match{2, 30, 0})) << "card 2's own text of the background field";
    state = Search("apple", kFindAllFields);
    EXPECT_EQ(Find(state, 2), kNone) << "card 2 shows no text of card 1; no wrap";
    state.flags |= kFindWrap;
    EXPECT_EQ(Find(state, 2), (Match{1, 30, 0}));
}

TEST_F(FindTextTest, LoneMatchAgainGoesRoundAndNoWrapStopsAtTheLastCard) {
    Load(ThreeCards());
    FindState state = Search("pie");
    FoundText found;
    EXPECT_EQ(Find(state, 1, &found), (Match{1, 30, 6}));
    EXPECT_EQ(found.cardsVisited, 1);
    EXPECT_EQ(found.length, 3u);
    state.flags |= kFindAgain;
    EXPECT_EQ(Find(state, 1, &found), (Match{1, 30, 6}));
    EXPECT_EQ(found.cardsVisited, 4) << "all three cards, then the first again";
    state = Search("split", kFindAllFields);
    EXPECT_EQ(Find(state, 3), kNone) << "nothing after the last card";
    EXPECT_EQ(Find(state, 1), (Match{2, 30, 7}));
    state.flags |= kFindAgain;
    const Match before{state.cardId, state.objectId, state.offset};
    EXPECT_EQ(Find(state, 2), kNone);
    EXPECT_EQ((Match{state.cardId, state.objectId, state.offset}), before) << "a miss keeps the last match";
}

TEST_F(FindTextTest, StateLivesInItsHandleWithAtMost255Characters) {
    ASSERT_TRUE(AllocFindState());
    const Handle made = GetFindState();
    ASSERT_TRUE(AllocFindState());
    EXPECT_EQ(GetFindState(), made) << "made once";
    FindState state = ReadFindState();
    EXPECT_EQ(state.flags, 33);
    const std::string longText(300, 'x');
    SetFindText(state, std::span<const char>(longText.data(), longText.size()));
    ASSERT_TRUE(WriteFindState(state));
    EXPECT_EQ(std::string(ReadFindState().search), std::string(255, 'x'));
    FreeFindState();
    EXPECT_FALSE(WriteFindState(state)) << "no state once freed";
}
