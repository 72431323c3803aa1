// Object requests through the host callback: the object reference by name and id, on the card,
// its background, another card or any card; the requests that read and change objects.
#include "tests/host/requests/RequestFixture_win.h"

namespace {

using namespace requesttest;

using RequestsObjects = RequestTest;

TEST_F(RequestsObjects, TheReferenceFindsObjectsByNameOnTheCardAndItsBackgroundAndByIdAnywhere) {
    Load(RequestStack());
    SetCurrentCardId(2);
    const Handle holder = GetCardByIndex(1), second = GetCardByIndex(2), third = GetCardByIndex(3);
    uint32_t nextOffset = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 5, holder, &nextOffset));

    // " next " length-prefixed, then NUL-terminated: the background's "Next".
    const std::vector<uint8_t> spaced = PName(" next ");
    for (const uint8_t* name : {spaced.data(), reinterpret_cast<const uint8_t*>(" NEXT ")}) {
        Block() = {};
        Block().param3 = Ptr(name);
        Request(24);
        EXPECT_EQ(Block().param1, nextOffset);
        EXPECT_EQ(static_cast<Handle>(Block().param2), holder);
        EXPECT_EQ(static_cast<Handle>(Block().param3), second);
    }
    // The holder's card-only button is not on this card; a name that finds nothing gives 0s.
    for (const char* missing : {"Only on one", "Nothing", ""}) {
        Block() = {};
        Block().param3 = Ptr(missing);
        Block().param4 = 77;
        Request(24);
        EXPECT_EQ(Block().param1, 0u) << missing;
        EXPECT_EQ(Block().param2, 0u);
        EXPECT_EQ(Block().param3, 0u);
        EXPECT_EQ(Block().param4, 77u) << "what the reference does not use stays";
    }
    // By id on the card of id 3, by the card's name, and on any card.
    const std::vector<uint8_t> third3 = PName("third");
    Block() = {};
    Block().param1 = (3u << 16) | 9;
    Block().param2 = 2;
    Request(24);
    EXPECT_EQ(static_cast<Handle>(Block().param2), third);
    EXPECT_EQ(static_cast<Handle>(Block().param3), third);
    EXPECT_NE(Block().param1, 0u);
    Block() = {};
    Block().param1 = 65534u << 16;
    Block().param2 = 2;
    Block().param3 = Ptr("Shape");
    Block().param4 = Ptr(third3.data());
    Request(24);
    EXPECT_EQ(static_cast<Handle>(Block().param3), third);
    Block() = {};
    Block().param1 = (65535u << 16) | 6;
    Request(24);
    EXPECT_EQ(static_cast<Handle>(Block().param2), holder);
    EXPECT_EQ(static_cast<Handle>(Block().param3), holder);
    // A kind index of another kind, an unknown kind index, a card id that is no card.
    for (uint32_t kindIndex : {1u, 4u, 11u}) {
        Block() = {};
        Block().param1 = 5;
        Block().param2 = kindIndex;
        Request(24);
        EXPECT_EQ(Block().param2, 0u) << kindIndex;
    }
    Block() = {};
    Block().param1 = (40u << 16) | 5;
    Request(24);
    EXPECT_EQ(Block().param3, 0u);
    // The card itself, and its event actions (none here: a failure).
    Block() = {};
    Block().param2 = 3;
    Request(24);
    EXPECT_EQ(static_cast<Handle>(Block().param2), second);
    Block() = {};
    Block().param2 = 8;
    Request(24);
    EXPECT_EQ(Block().param3, 0u);
}

TEST_F(RequestsObjects, RecordsAreWalkedAndChangedOnlyAtObjectBoundaries) {
    Load(RequestStack());
    SetCurrentCardId(2);
    const Handle second = GetCardByIndex(2), third = GetCardByIndex(3);

    // 22 and 23 walk the card's two objects to the end, where 23 answers 0.
    std::vector<uint32_t> offsets;
    Block() = {};
    Block().param1 = static_cast<uint32_t>(second);
    offsets.push_back(Request(22).param1);
    for (int i = 0; i < 3; ++i) {
        Block().param2 = static_cast<uint32_t>(second);
        offsets.push_back(Request(23).param1);
    }
    ASSERT_EQ(offsets.size(), 4u);
    EXPECT_EQ(GetHandleWord(second, offsets[0] + kObjectId), 7);
    EXPECT_EQ(GetHandleWord(second, offsets[1] + kObjectId), 8);
    EXPECT_EQ(GetHandleWord(second, offsets[2]), 0) << "the end's kind word";
    EXPECT_EQ(offsets[3], 0u);
    Block().param1 = offsets[0] + 2;  // inside an object
    Block().param2 = static_cast<uint32_t>(second);
    EXPECT_EQ(Request(23).param1, 0u);

    // 35: id, index, name offset, length and flags by kind; a place inside an object: 0.
    const std::pair<Handle, uint32_t> kinds[] = {{second, offsets[0]}, {second, offsets[1]}};
    const uint32_t names[] = {28, 72};
    for (int i = 0; i < 2; ++i) {
        Block() = {};
        Block().param1 = static_cast<uint32_t>(kinds[i].first);
        Block().param2 = kinds[i].second;
        Request(35);
        EXPECT_EQ(Block().param1, i == 0 ? 7u : 8u);
        EXPECT_EQ(Block().param2, 1u);
        EXPECT_EQ(Block().param3, names[i]);
        EXPECT_EQ(Block().param4, GetHandleWord(second, kinds[i].second + kObjectLength) |
                                      (uint32_t(GetHandleWord(second, kinds[i].second + kObjectLength + 2)) << 16));
    }
    uint32_t shape = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectGraphic, 9, third, &shape));
    Block() = {};
    Block().param1 = static_cast<uint32_t>(third);
    Block().param2 = shape;
    EXPECT_EQ(Request(35).param3, 38u);
    Block().param1 = static_cast<uint32_t>(third);
    Block().param2 = shape + 4;
    EXPECT_EQ(Request(35).param1, 0u);

    // 183 keeps 15 of 20 characters; 182 reads them back with the kind index and flags.
    const std::vector<uint8_t> longName = PName("abcdefghijklmnopqrst");
    Block() = {};
    Block().param1 = static_cast<uint32_t>(third);
    Block().param2 = shape;
    Block().param3 = 2;
    Block().param4 = Ptr(longName.data());
    Request(183);
    EXPECT_TRUE(IsCardChanged());
    Block().param1 = static_cast<uint32_t>(third);
    Block().param2 = shape;
    Block().param3 = 2;
    Request(182);
    EXPECT_EQ(Block().param1, 1u);
    EXPECT_EQ(PText(Block().param3), "abcdefghijklmno");
    Block().param1 = static_cast<uint32_t>(third);
    Block().param2 = shape;
    Block().param3 = 1;
    EXPECT_EQ(Request(182).param3, 2u);

    // 185: an offset inside an object, or twice the same, changes nothing and reports 0; two
    // objects exchange places.
    const std::vector<uint8_t> before = HandleToBytes(second);
    for (auto [a, b] : {std::pair{offsets[0], offsets[1] + 6}, std::pair{offsets[1], offsets[1]}}) {
        Block() = {};
        Block().param1 = static_cast<uint32_t>(second);
        Block().param2 = a;
        Block().param3 = b;
        Block().handled = 9;
        Request(185);
        EXPECT_EQ(Block().handled, 0u);
        EXPECT_EQ(HandleToBytes(second), before);
    }
    Block() = {};
    Block().param1 = static_cast<uint32_t>(second);
    Block().param2 = offsets[1];
    Block().param3 = offsets[0];
    Request(185);
    EXPECT_EQ(Block().handled, 1u);
    EXPECT_EQ(ObjectTags(second), (std::vector<std::string>{"8", "7"}));
    EXPECT_EQ(HandleToBytes(second).size(), before.size());

    // Flags through the reference: hide, show, lock; the rectangle, its centre and the value.
    Block() = {};
    Block().param1 = 7;
    Request(26);
    uint32_t own = 0;
    ASSERT_TRUE(FindObjectInCard(kObjectButton, 7, second, &own));
    EXPECT_EQ(GetHandleWord(second, own + kObjectFlags) & (kObjectHidden | kObjectLocked), kObjectHidden);
    Block() = {};
    Block().param1 = 7;
    Request(28);
    Block() = {};
    Block().param1 = 7;
    Request(27);
    EXPECT_EQ(GetHandleWord(second, own + kObjectFlags) & (kObjectHidden | kObjectLocked), kObjectLocked);
    Block() = {};
    Block().param1 = 7;
    Request(37);
    EXPECT_EQ(Block().param1, 16u);
    EXPECT_EQ(Block().param2, 25u);
    RECT moved{4, 6, 24, 16};
    Block() = {};
    Block().param1 = 7;
    Block().handled = Ptr(&moved);
    Request(32);
    Block() = {};
    Block().param1 = 7;
    Request(31);
    const RECT* got = reinterpret_cast<const RECT*>(static_cast<uintptr_t>(Block().param1));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->left, 4);
    EXPECT_EQ(got->bottom, 16);
    Block() = {};
    Block().param1 = 7;
    Block().param4 = static_cast<uint32_t>(-3);
    Request(34);
    Block() = {};
    Block().param1 = 7;
    EXPECT_EQ(static_cast<int32_t>(Request(33).param1), -3);
}

}  // namespace
