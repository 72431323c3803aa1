// Walks over the visible objects of a card: from the holder and from the card, deleted and
// foreground objects of the holder left out, the pause between records, lookups by kind and id,
// name and place, and records whose object lengths lie.
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

sb::Object Obj(uint16_t kind, uint16_t id, uint16_t flags = 0, std::string name = "") {
    sb::Object o = kind == kObjectButton  ? sb::Button(id, {0, 0, 10, 10}, name)
                   : kind == kObjectText ? sb::TextField(id, {0, 0, 10, 10}, name, "x")
                                          : sb::Graphic(id, {0, 0, 10, 10}, name);
    o.flags = flags;
    return o;
}

constexpr uint16_t kBg = kObjectBackground, kDel = kObjectDeletedFlag;

// Holder 1 (kind 1): background 10, own 11, deleted background 12, background 13.
// Card 2 (kind 3 on 1): own 20, deleted 21, background-flagged 22. Card 3 (kind 0): 30.
sb::Stack HolderAndSharer() {
    sb::Stack s;
    s.cardWidth = 32;
    s.cardHeight = 8;
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(32, 8, 8, 1));
    holder.objects = {Obj(kObjectButton, 10, kBg, "Back"), Obj(kObjectGraphic, 11), Obj(kObjectButton, 12, kBg | kDel),
                      Obj(kObjectText, 13, kBg, "Field")};
    sb::Card sharer = sb::SharedCard(2, 1);
    sharer.objects = {Obj(kObjectButton, 20, 0, "Go"), Obj(kObjectButton, 21, kDel), Obj(kObjectGraphic, 22, kBg)};
    sb::Card plain = sb::PlainCard(3);
    plain.objects = {Obj(kObjectButton, 30, 0, "go")};
    s.cards = {holder, sharer, plain};
    return s;
}

std::vector<uint16_t> Walk(Handle card, bool startOnHolder) {
    std::vector<uint16_t> ids;
    ObjectScan scan;
    BeginObjectScan(scan, card, startOnHolder);
    ScannedObject object;
    while (NextObjectInScan(scan, &object, true)) {
        ids.push_back(object.id);
        EXPECT_EQ(GetU16(HandleToBytes(object.record), object.offset + kObjectId), object.id);
    }
    EndObjectScan(scan);
    return ids;
}

class ObjectScanTest : public CardSessionTest {};

TEST_F(ObjectScanTest, KindThreeScanGivesHolderBackgroundThenOwnObjects) {
    Load(HolderAndSharer());
    const Handle sharer = FindCardById(2);
    EXPECT_EQ(Walk(sharer, true), (std::vector<uint16_t>{10, 13, 20, 22}));
    EXPECT_EQ(Walk(sharer, false), (std::vector<uint16_t>{20, 22, 10, 13}));
    EXPECT_EQ(Walk(FindCardById(1), true), (std::vector<uint16_t>{10, 11, 13}));
    EXPECT_EQ(Walk(FindCardById(1), false), (std::vector<uint16_t>{10, 11, 13}));
    EXPECT_EQ(Walk(FindCardById(3), true), (std::vector<uint16_t>{30}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(GetHandleLockCount(GetCardByIndex(i)), 0) << "card " << i << " left locked";
}

TEST_F(ObjectScanTest, WithoutGoOnTheWalkPausesBetweenRecords) {
    Load(HolderAndSharer());
    ObjectScan scan;
    BeginObjectScan(scan, FindCardById(2), true);
    ScannedObject object;
    std::vector<std::string> steps;
    for (int i = 0; i < 7; ++i)
        steps.push_back(NextObjectInScan(scan, &object, false) ? std::to_string(object.id) : "|");
    EndObjectScan(scan);
    EXPECT_EQ(steps, (std::vector<std::string>{"10", "13", "|", "20", "22", "|", "|"}));
    EXPECT_EQ(GetHandleLockCount(FindCardById(1)), 0);
    EXPECT_EQ(GetHandleLockCount(FindCardById(2)), 0);
}

TEST_F(ObjectScanTest, ALoopingChainEndsTheWalkOnTheCard) {
    sb::Stack s;
    sb::Card a = sb::SharedCard(1, 2);
    a.objects = {Obj(kObjectButton, 1, kBg)};
    sb::Card b = sb::SharedCard(2, 1);
    b.objects = {Obj(kObjectButton, 2, kBg)};
    s.cards = {a, b};
    Load(s);
    EXPECT_EQ(Walk(FindCardById(1), false), (std::vector<uint16_t>{1}));
    EXPECT_EQ(Walk(FindCardById(1), true), (std::vector<uint16_t>{2, 1}));
}

TEST_F(ObjectScanTest, FindObjectInCardMatchesIdZeroAndTheEarlierWins) {
    sb::Stack s;
    sb::Card card = sb::PlainCard(1);
    card.objects = {Obj(kObjectGraphic, 5), Obj(kObjectButton, 0, 0, "zero"), Obj(kObjectButton, 7, 0, "seven"),
                    Obj(kObjectButton, 7, 0, "again")};
    sb::Card other = sb::PlainCard(2);
    other.objects = {Obj(kObjectText, 8, kDel)};
    s.cards = {card, other};
    Load(s);
    const Handle first = FindCardById(1);
    const std::vector<uint8_t> bytes = HandleToBytes(first);
    uint32_t offset = 0xDEAD;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 7, first, &offset));
    EXPECT_EQ(PStringAt(bytes, offset + kButtonName), "zero") << "an object with id 0 matches any id";
    ASSERT_TRUE(FindObjectInCard(kObjectGraphic, 5, first, &offset));
    EXPECT_EQ(offset, CardObjectsOffset(first));
    EXPECT_FALSE(FindObjectInCard(kObjectGraphic, 6, first, &offset));
    EXPECT_FALSE(FindObjectInCard(kObjectText, 8, first, &offset));

    // FindObject: the current card first, then the others; deleted objects are found.
    SetCurrentCardId(2);
    Handle record = 0;
    ASSERT_TRUE(FindObject(kObjectText, 8, &record, &offset));
    EXPECT_EQ(GetCardId(record), 2);
    ASSERT_TRUE(FindObject(kObjectGraphic, 5, &record, &offset));
    EXPECT_EQ(GetCardId(record), 1);
    EXPECT_FALSE(FindObject(kObjectGraphic, 9, &record, &offset));

    const uint8_t* p = GetObjectPtr(kObjectGraphic, 5);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(GetU16({p, kObjectCommonBytes}, kObjectKind), kObjectGraphic);
    EXPECT_EQ(GetObjectPtr(kObjectText, 99), nullptr);

    EXPECT_EQ(GetObjectIndex(first, kObjectButton, 7), 2);
    EXPECT_EQ(GetObjectIndex(first, kObjectGraphic, 5), 1);
    EXPECT_EQ(GetObjectIndex(first, kObjectText, 5), 0);
    EXPECT_EQ(CardObjectsEnd(first), bytes.size() - kCardTrailerBytes);
}

TEST_F(ObjectScanTest, FindsVisibleObjectsByNameAndPlace) {
    Load(HolderAndSharer());
    Handle record = FindCardById(2);
    uint32_t offset = 0;
    ASSERT_TRUE(FindObjectByName(kObjectText, PName("field").data(), &record, true, &offset));
    EXPECT_EQ(GetCardId(record), 1) << "found among the holder's background objects";
    EXPECT_EQ(GetU16(HandleToBytes(record), offset + kObjectId), 13);

    record = FindCardById(2);
    EXPECT_FALSE(FindObjectByName(kObjectText, PName("field").data(), &record, false, &offset));
    record = FindCardById(2);
    ASSERT_TRUE(FindObjectByName(kObjectButton, PName("Back").data(), &record, false, &offset));
    EXPECT_EQ(GetU16(HandleToBytes(record), offset + kObjectId), 10);

    record = FindCardById(2);
    ASSERT_TRUE(FindObjectByIndex(kObjectButton, 2, &record, &offset));
    EXPECT_EQ(GetU16(HandleToBytes(record), offset + kObjectId), 10);
    record = FindCardById(2);
    EXPECT_FALSE(FindObjectByIndex(kObjectButton, 3, &record, &offset));

    record = 0;
    ASSERT_TRUE(FindObjectByNameInCards(kObjectButton, PName("GO").data(), &record, true, &offset));
    EXPECT_EQ(GetCardId(record), 2);
    ASSERT_TRUE(FindObjectByNameInCards(kObjectButton, PName("go").data(), &record, false, &offset));
    EXPECT_EQ(GetCardId(record), 3);
}

TEST_F(ObjectScanTest, ObjectLengthsThatLieEndTheList) {
    Load(HolderAndSharer());
    const Handle card = FindCardById(3);
    // A second object whose length runs past the record, then one shorter than a header.
    struct Case {
        uint32_t length;
        const char* what;
    };
    for (const Case& c : {Case{0x7FFFFFF0u, "past the record"}, Case{10, "shorter than the header"},
                          Case{0, "zero"}}) {
        const std::vector<uint8_t> before = HandleToBytes(card);
        {
            HandleLock lock(card);
            SetU32(lock.bytes(), CardObjectsOffset(card) + kObjectLength, c.length);
        }
        EXPECT_EQ(Walk(card, false), std::vector<uint16_t>{}) << c.what;
        uint32_t offset = 0;
        EXPECT_FALSE(FindObjectInCard(kObjectButton, 30, card, &offset)) << c.what;
        EXPECT_EQ(CardObjectsEnd(card), CardObjectsOffset(card)) << c.what;
        HandleLock lock(card);
        std::memcpy(lock.get(), before.data(), before.size());
    }
    // A kind-1 record whose block length points past the record has no objects.
    const Handle holder = FindCardById(1);
    {
        HandleLock lock(holder);
        SetU32(lock.bytes(), kPictureBlockOffset + kBlockLength, 0xFFFFFF00u);
    }
    EXPECT_EQ(Walk(holder, false), std::vector<uint16_t>{});
}

}  // namespace
