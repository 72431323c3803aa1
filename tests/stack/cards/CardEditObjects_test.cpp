// Object records moved between and within lists, a card's picture replaced in its record, and
// a card's background mode switched both ways.
#include "stack/cards/FieldText.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

constexpr int kWidth = 32, kHeight = 8;
constexpr uint16_t kBg = kObjectBackground;

sb::Object Btn(uint16_t id, uint16_t flags = 0, std::string name = "") {
    sb::Object o = sb::Button(id, {0, 0, 10, 10}, name.empty() ? "B" + std::to_string(id) : name);
    o.flags = flags;
    return o;
}

sb::Stack Base() {
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    s.nextObjectId = 50;
    return s;
}

// Holder 1 (kind 1): background 10, own 11, background text 13. Sharers 2 and 3; card 4 is a
// deleted sharer that comes first in the list.
sb::Stack SharedStack() {
    sb::Stack s = Base();
    sb::Card holder = sb::PictureCard(1, sb::GradientPicture(kWidth, kHeight, 8));
    sb::Object text = sb::TextField(13, {0, 0, 20, 20}, "Notes", "some text");
    text.flags = kBg;
    holder.objects = {Btn(10, kBg, "Back"), Btn(11), text};
    sb::Card deleted = sb::SharedCard(4, 1);
    deleted.flags = kCardDeleted;
    sb::Card second = sb::SharedCard(2, 1);
    second.objects = {Btn(20)};
    s.cards = {holder, deleted, second, sb::SharedCard(3, 1)};
    return s;
}

std::vector<uint8_t> Block(Handle card) {
    const std::vector<uint8_t> bytes = HandleToBytes(card);
    return {bytes.begin() + kCardHeaderBytes, bytes.begin() + CardObjectsOffset(card)};
}

// An object's bytes without its id, to compare copies.
std::vector<uint8_t> WithoutId(std::vector<uint8_t> object) {
    SetU16(object, kObjectId, 0);
    return object;
}

class CardEditObjectsTest : public CardSessionTest {};

TEST_F(CardEditObjectsTest, MovesAndCopiesObjectRecordsBetweenLists) {
    sb::Stack s = Base();
    s.cards = {sb::PlainCard(1), sb::PlainCard(2)};
    s.cards[0].objects = {Btn(1), sb::TextField(2, {0, 0, 9, 9}, "T", "text"), Btn(3)};
    s.cards[1].objects = {Btn(4)};
    Load(s);
    const Handle one = FindCardById(1), two = FindCardById(2);
    const auto text = CardObjects(HandleToBytes(one))[1];

    EXPECT_EQ(MoveObjectToOtherList(kObjectText, 2, two, false, true), 1);
    EXPECT_EQ(ObjectTags(one), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(ObjectTags(two), (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(CardObjects(HandleToBytes(two))[0], text) << "moved byte for byte";

    EXPECT_EQ(MoveObjectToOtherList(kObjectButton, 1, two, true, false), 1);
    EXPECT_EQ(ObjectTags(one), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(ObjectTags(two), (std::vector<std::string>{"2", "4", "1"}));

    // Within one list: to the end.
    EXPECT_EQ(MoveObjectToOtherList(kObjectButton, 1, one, false, false), 1);
    EXPECT_EQ(ObjectTags(one), (std::vector<std::string>{"3", "1"}));

    EXPECT_EQ(MoveObjectToOtherList(kObjectGraphic, 1, two, false, false), 0);
    EXPECT_TRUE(Rec().alerts.empty());
    ExpectSavable(one);
    ExpectSavable(two);
}

TEST_F(CardEditObjectsTest, UpdateObjectLayerFollowsTheBackgroundFlag) {
    Load(SharedStack());
    const Handle holder = FindCardById(1), sharer = FindCardById(2);
    uint32_t offset = 0;

    // The sharer's own button becomes a background object: it moves to the holder.
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 20, sharer, &offset));
    SetObjectFlags(sharer, offset, kBg, 0);
    UpdateObjectLayer(kObjectButton, 20, sharer);
    EXPECT_EQ(ObjectTags(sharer), std::vector<std::string>{});
    EXPECT_EQ(ObjectTags(holder), (std::vector<std::string>{"10", "11", "13", "20"}));

    // The background text field stops being one: it moves to the card. Per-card entries are
    // purged from background fields only, so the moved field keeps its one entry and its text.
    ASSERT_TRUE(FindObjectInCard(kObjectText, 13, holder, &offset));
    SetObjectFlags(holder, offset, 0, kBg);
    UpdateObjectLayer(kObjectText, 13, sharer);
    EXPECT_EQ(ObjectTags(sharer), std::vector<std::string>{"13"});
    ASSERT_TRUE(FindObjectInCard(kObjectText, 13, sharer, &offset));
    const std::vector<uint8_t> record = HandleToBytes(sharer);
    const std::span<const uint8_t> field =
        std::span<const uint8_t>(record).subspan(offset, GetU32(record, offset + kObjectLength));
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(field);
    ASSERT_EQ(entries.size(), 1u);
    const std::span<const uint8_t> text = FieldEntryText(field, entries[0]);
    EXPECT_EQ(std::string(text.begin(), text.end()), "some text");

    // On a kind-1 card a background object stays where it is.
    UpdateObjectLayer(kObjectButton, 10, holder);
    EXPECT_EQ(ObjectTags(holder), (std::vector<std::string>{"10", "11", "20"}));
    ExpectSavable(holder);
    ExpectSavable(sharer);
}

TEST_F(CardEditObjectsTest, StorePictureBlockReplacesTheBlockAndKeepsTheObjects) {
    Load(SharedStack());
    const Handle holder = FindCardById(1), sharer = FindCardById(2);
    const auto objectsBefore = CardObjects(HandleToBytes(holder));
    std::vector<uint8_t> table(8 + 16 * 8, 0x11);
    SetBE16(table, 6, 15);  // 16 entries
    // Runs and a stored-copy stream of 5 bytes: an odd length, so the block is padded.
    const std::vector<uint8_t> packed = {1, 2, 3, 4, 40, 0, 0, 0, 5, 6, 7, 8, 0, 0, 0, 0, 1, 9, 9, 9, 9};

    // Through a sharer the picture lands in its holder.
    ASSERT_EQ(StorePictureBlock(sharer, table, packed, 4), 0);
    EXPECT_EQ(HandleToBytes(sharer).size(), 100u + CardObjects(HandleToBytes(sharer))[0].size());
    const PictureParts parts = SplitPicture(HandleToBytes(holder));
    EXPECT_EQ(parts.table, table);
    EXPECT_EQ(parts.packed, packed);
    EXPECT_EQ(parts.flags, kPicturePadFlag);
    EXPECT_EQ(parts.length, 24u + table.size() + packed.size() + 1);
    EXPECT_EQ(GetU16(HandleToBytes(holder), kCardDepth), 4);
    EXPECT_EQ(CardObjects(HandleToBytes(holder)), objectsBefore);
    ExpectSavable(holder);

    // A sharer whose background id names another sharer is left alone.
    {
        HandleLock lock(sharer);
        SetU16(lock.bytes(), kCardBackgroundId, 3);
    }
    const std::vector<uint8_t> before = HandleToBytes(FindCardById(3));
    EXPECT_EQ(StorePictureBlock(sharer, table, packed, 8), 0);
    EXPECT_EQ(HandleToBytes(FindCardById(3)), before);
    EXPECT_EQ(GetCardKind(sharer), kCardKindShared);
    // One that names a missing card cannot store anything.
    {
        HandleLock lock(sharer);
        SetU16(lock.bytes(), kCardBackgroundId, 99);
    }
    EXPECT_EQ(StorePictureBlock(sharer, table, packed, 8), -1);
}

TEST_F(CardEditObjectsTest, AHolderHandsItsPictureToTheFirstLiveSharer) {
    Load(SharedStack());
    const Handle holder = FindCardById(1);
    const std::vector<uint8_t> block = Block(holder);
    const auto holderObjects = CardObjects(HandleToBytes(holder));

    EXPECT_EQ(SwitchCardBackgroundMode(holder), 1);
    const Handle heir = FindCardById(2);
    EXPECT_EQ(GetCardKind(heir), kCardKindPicture);
    EXPECT_EQ(GetU16(HandleToBytes(heir), kCardBackgroundId), 0);
    EXPECT_EQ(Block(heir), block);
    EXPECT_EQ(GetU16(HandleToBytes(FindCardById(3)), kCardBackgroundId), 2);
    EXPECT_EQ(GetU16(HandleToBytes(FindCardById(4)), kCardBackgroundId), 2);
    EXPECT_EQ(GetCardKind(FindCardById(4)), kCardKindShared) << "a deleted sharer does not inherit";
    // The background objects come first, in their order, with new ids.
    EXPECT_EQ(ObjectTags(heir), (std::vector<std::string>{"50", "51", "20"}));
    const auto heirObjects = CardObjects(HandleToBytes(heir));
    EXPECT_EQ(WithoutId(heirObjects[0]), WithoutId(holderObjects[0]));
    EXPECT_EQ(WithoutId(heirObjects[1]), WithoutId(holderObjects[2]));
    EXPECT_EQ(CardObjects(HandleToBytes(holder)), holderObjects) << "the old holder keeps its own";
    EXPECT_EQ(GetPictureHolderId(FindCardById(3)), 2);
    ExpectSavable(heir);

    // A card nobody shares has nothing to hand on.
    EXPECT_EQ(SwitchCardBackgroundMode(holder), 0);
    EXPECT_TRUE(Rec().alerts.empty());
}

TEST_F(CardEditObjectsTest, ASharerTakesTheCurrentPictureAndItsHoldersBackground) {
    Load(SharedStack());
    const Handle sharer = FindCardById(2);
    SetCurrentCardId(2);

    // Without an offscreen nothing changes.
    EXPECT_EQ(SwitchCardBackgroundMode(sharer), 0);
    EXPECT_EQ(Rec().alerts, std::vector<uint32_t>{kAlertPictureNotStored});
    EXPECT_EQ(GetCardKind(sharer), kCardKindShared);
    EXPECT_EQ(GetU16(HandleToBytes(sharer), kCardBackgroundId), 1);

    Rec().offscreen = PatternOffscreen(kWidth, kHeight);
    EXPECT_EQ(SwitchCardBackgroundMode(sharer), 1);
    EXPECT_EQ(GetCardKind(sharer), kCardKindPicture);
    EXPECT_EQ(GetU16(HandleToBytes(sharer), kCardBackgroundId), 0);
    std::vector<uint8_t> rows(static_cast<size_t>(MacRowBytes(8, kWidth)) * kHeight);
    ASSERT_TRUE(UnpackPictureRows(SplitPicture(HandleToBytes(sharer)).packed, rows));
    EXPECT_EQ(rows, PatternRows(kWidth, kHeight));
    EXPECT_EQ(ObjectTags(sharer), (std::vector<std::string>{"50", "51", "20"}));
    EXPECT_EQ(GetCardKind(FindCardById(1)), kCardKindPicture);
    ExpectSavable(sharer);
}

TEST_F(CardEditObjectsTest, ObjectOrderMovesAnObjectInItsList) {
    sb::Stack s = Base();
    s.cards = {sb::PlainCard(1)};
    s.cards[0].objects = {Btn(1), sb::TextField(2, {0, 0, 9, 9}, "T", "a longer text"), sb::Graphic(3, {0, 0, 5, 5}, "G")};
    Load(s);
    const Handle card = FindCardById(1);
    auto sorted = [](std::vector<std::vector<uint8_t>> v) {
        std::sort(v.begin(), v.end());
        return v;
    };
    const auto contents = sorted(CardObjects(HandleToBytes(card)));

    struct Step {
        bool towardsFront;
        bool allTheWay;
        std::vector<std::string> order;
        int moved;
    };
    const Step steps[] = {
        {true, false, {"1", "3", "2"}, 1},
        {true, false, {"1", "3", "2"}, 0},
        {false, true, {"2", "1", "3"}, 1},
        {false, false, {"2", "1", "3"}, 0},
        {true, true, {"1", "3", "2"}, 1},
        {false, false, {"1", "2", "3"}, 1},
    };
    for (const Step& step : steps) {
        uint32_t offset = 0;
        Handle record = 0;
        ASSERT_TRUE(FindObject(kObjectText, 2, &record, &offset));
        EXPECT_EQ(record, card);
        EXPECT_EQ(MoveObjectInList(card, offset, step.towardsFront, step.allTheWay), step.moved);
        EXPECT_EQ(ObjectTags(card), step.order) << step.towardsFront << step.allTheWay;
        EXPECT_EQ(sorted(CardObjects(HandleToBytes(card))), contents);
    }
    ExpectSavable(card);

    EXPECT_EQ(MoveObjectInList(card, 1, true, true), 0);  // no object starts there
    EXPECT_EQ(ObjectTags(card), (std::vector<std::string>{"1", "2", "3"}));
}

}  // namespace
