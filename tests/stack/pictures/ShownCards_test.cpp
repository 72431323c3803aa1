// Records fitted to a palette display, put back around a save: a card only shown goes back as
// stored; a card edited since it was shown, and a card made since on the same picture, are
// written in the stored palette, each colour index the author did not touch as stored and any
// other the nearest stored colour; after the save everything shows as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stack/pictures/ShownCards.h"
#include "graphics/pixels/CardPicture.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

constexpr sb::Rgb kWhite{255, 255, 255}, kRed{200, 0, 0}, kGreen{0, 180, 0}, kBlack{0, 0, 0};

class ShownCardsTest : public StackFileTest {
protected:
    void TearDown() override {
        StoreShownCards();
        DisposeCards();
        StackFileTest::TearDown();
    }
};

// A card picture's colour table as `palette` holds it, written over the record's own.
void SetTable(std::vector<uint8_t>& record, const std::vector<sb::Rgb>& palette) {
    sb::Picture p = sb::SolidPicture(8, 8, 8, 0);
    p.palette = palette;
    const std::vector<uint8_t> table = sb::MacColorTable(p);
    const std::span<const uint8_t> held = PictureRecordColorTable(record);
    ASSERT_EQ(held.size(), table.size());
    std::copy(table.begin(), table.end(), record.begin() + (held.data() - record.data()));
}

// The colour word at `at` of the record's object of that id.
uint16_t ColourOf(Handle card, uint16_t id, uint32_t at) {
    const std::vector<uint8_t> record = HandleToBytes(card);
    for (const std::vector<uint8_t>& object : CardObjects(record))
        if (GetU16(object, kObjectId) == id)
            return GetU16(object, at);
    return 0xFFFF;
}

void SetColour(Handle card, uint16_t id, uint32_t at, uint16_t value) {
    std::vector<uint8_t> record = HandleToBytes(card);
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place))
        if (place.id == id)
            SetU16(std::span<uint8_t>(record).subspan(place.offset), at, value);
    ASSERT_EQ(SetHandleBytes(card, record), 0);
}

TEST_F(ShownCardsTest, AnEditedCardAndANewOneAreWrittenInTheStoredColours) {
    sb::Stack stack = sb::EditableStack(8, 8, 8);
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(8, 8, 8, 1));
    holder.picture->palette = {kWhite, kRed, kGreen, kBlack};
    sb::Card shared = sb::SharedCard(2, 1);
    sb::Object field = sb::TextField(10, {1, 1, 6, 6}, "Note", "Hi");
    field.words.push_back({kTextColor, 2});  // red
    shared.objects.push_back(field);
    sb::Object button = sb::Button(11, {0, 0, 4, 4}, "Go");
    button.words.push_back({kButtonNameColor, 3});  // green
    shared.objects.push_back(button);
    StackConversion cv;
    const std::vector<uint8_t> storedHolder = HostCard(holder, stack, cv), storedShared = HostCard(shared, stack, cv);
    const Handle h = NewHandleFromBytes(storedHolder), s = NewHandleFromBytes(storedShared);
    ASSERT_EQ(AddCardRecord(h, 0), 0);
    ASSERT_EQ(AddCardRecord(s, 1), 0);

    // Fitted to the display: its palette puts green at 2 and red at 3.
    const std::vector<Handle> group = {s, h};
    KeepCardsAsStored(group);
    std::vector<uint8_t> shownHolder = storedHolder;
    SetTable(shownHolder, {kBlack, kGreen, kRed, kWhite});
    ASSERT_EQ(SetHandleBytes(h, shownHolder), 0);
    SetColour(s, 10, kTextColor, 3);
    SetColour(s, 11, kButtonNameColor, 2);
    NoteCardsAsShown(group);
    const std::vector<uint8_t> shownShared = HandleToBytes(s);

    // Only shown: everything goes back as stored, and comes back as shown.
    PutBackStoredCards();
    EXPECT_EQ(HandleToBytes(h), storedHolder);
    EXPECT_EQ(HandleToBytes(s), storedShared);
    PutBackShownCards();
    EXPECT_EQ(HandleToBytes(h), shownHolder);
    EXPECT_EQ(HandleToBytes(s), shownShared);

    // The button given black (1 in the shown palette); a new card on the picture with a field
    // in the shown red.
    SetColour(s, 11, kButtonNameColor, 1);
    const std::vector<uint8_t> editedShared = HandleToBytes(s);
    sb::Card made = sb::SharedCard(3, 1);
    sb::Object other = sb::TextField(12, {1, 1, 6, 6}, "Other", "New");
    other.words.push_back({kTextColor, 3});
    made.objects.push_back(other);
    const std::vector<uint8_t> madeShown = HostCard(made, stack, cv);
    const Handle n = NewHandleFromBytes(madeShown);
    ASSERT_EQ(AddCardRecord(n, 2), 0);

    PutBackStoredCards();
    EXPECT_EQ(HandleToBytes(h), storedHolder) << "the picture as stored";
    EXPECT_EQ(ColourOf(s, 10, kTextColor), 2) << "untouched: as stored";
    EXPECT_EQ(ColourOf(s, 11, kButtonNameColor), 4) << "black, in the stored palette";
    EXPECT_EQ(ColourOf(n, 12, kTextColor), 2) << "red, in the stored palette";
    PutBackShownCards();
    EXPECT_EQ(HandleToBytes(h), shownHolder);
    EXPECT_EQ(HandleToBytes(s), editedShared) << "the edit as the person sees it";
    EXPECT_EQ(HandleToBytes(n), madeShown);

    // Saved again with nothing changed since: the stored form written the first time.
    PutBackStoredCards();
    EXPECT_EQ(ColourOf(s, 11, kButtonNameColor), 4);
    EXPECT_EQ(ColourOf(n, 12, kTextColor), 2);
    PutBackShownCards();
    EXPECT_EQ(HandleToBytes(s), editedShared);
}

}  // namespace
