// The information dialogs' rules without a window, and stack and card actions as resources.
#include <gtest/gtest.h>

#include "core/memory/ByteReader.h"
#include "stack/cards/ActionResource.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "tests/stack/SaveTestUtil.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

using namespace savetest;
namespace sb = stackbuilder;

TEST(InfoDialogRules, SizesPresetsAndTheProgressBar) {
    EXPECT_EQ(KilobytesText(0), "0 K");
    EXPECT_EQ(KilobytesText(511), "0 K");
    EXPECT_EQ(KilobytesText(1535), "1 K");
    EXPECT_EQ(KilobytesText(1536), "2 K");
    EXPECT_EQ(AvailableMegabytes(3ull << 30, 3ull << 30), 6144u) << "sums past 4 GB do not wrap";
    std::vector<uint8_t> card(98, 0);
    SetU16(card, kCardKind, kCardKindPicture);
    EXPECT_EQ(CardBackgroundBytes(card), 0u);
    card.resize(200, 0);
    SetU32(card, kPictureBlockOffset + 12, 3000);
    EXPECT_EQ(CardBackgroundBytes(card), 3000u);
    SetU16(card, kCardKind, kCardKindShared);
    EXPECT_EQ(CardBackgroundBytes(card), 0u);

    SizePreset preset;
    ASSERT_TRUE(ParseSizePreset("Standard card size (512x384)~512~384", preset));
    EXPECT_EQ(preset.name, "Standard card size (512x384)");
    EXPECT_EQ(preset.width, 512);
    EXPECT_EQ(preset.height, 384);
    ASSERT_TRUE(ParseSizePreset("Current card size~0", preset));
    EXPECT_EQ(preset.width, 0);
    EXPECT_FALSE(ParseSizePreset("no tilde", preset));

    EXPECT_EQ(MinimumCardExtent(20), 40);
    EXPECT_EQ(MinimumCardExtent(112), 112);
    EXPECT_EQ(CheckCardSize(39, 100, 40, 40, 1024, 768), kAlertCardTooSmall);
    EXPECT_EQ(CheckCardSize(kMaxCardExtent + 1, 100, 40, 40, 8192, 8192), kAlertCardTooSmall);
    EXPECT_EQ(CheckCardSize(1025, 100, 40, 40, 1024, 768), kAlertCardBiggerThanScreen);
    EXPECT_EQ(CheckCardSize(640, 480, 40, 40, 1024, 768), 0);

    // Text 10..190 wide, 6..16 high: the bar from 21 to 26.
    const BarRect bar = ProgressBarRect(10, 6, 190, 16);
    EXPECT_EQ(bar.left, 10);
    EXPECT_EQ(bar.top, (3 * 16 - 11) / 2);
    EXPECT_EQ(bar.bottom, (7 * 16 - 5 * 11) / 2);
    const BarRect fill = ProgressFillRect(bar, 3, 8);
    EXPECT_EQ(fill.left, 11);
    EXPECT_EQ(fill.right, 11 + (180 - 2) * 3 / 8);
    EXPECT_EQ(fill.top, bar.top + 1);
    EXPECT_EQ(fill.bottom, bar.bottom - 1);
    EXPECT_EQ(ProgressFillRect(bar, 0, 8).right, 11);
}

TEST(InfoDialogRules, CardSettingsKeepOtherFlagsAndCutTheName) {
    std::vector<uint8_t> card(kMinCardRecordBytes, 0);
    SetU16(card, kCardFlags, kCardLockedFlag | kCardMarked);
    card[kCardName] = 3;
    std::memcpy(&card[kCardName + 1], "Top", 3);
    // Unchanged: nothing written.
    EXPECT_FALSE(ApplyCardNameAndFlags(card, "Top", true, false));
    // A change of case alone is kept.
    EXPECT_TRUE(ApplyCardNameAndFlags(card, "TOP", true, false));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&card[kCardName + 1]), card[kCardName]), "TOP");
    EXPECT_TRUE(ApplyCardNameAndFlags(card, "A name of thirty-one characters", false, true));
    EXPECT_EQ(card[kCardName], 15);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&card[kCardName + 1]), 15), "A name of thirt");
    EXPECT_EQ(card[kCardName + 16], 0) << "the field ends where it did";
    EXPECT_EQ(GetU16(card, kCardFlags), kCardLockedFlag | kCardLockColors);
}

class ActionResourceTest : public SaveSessionTest {};

TEST_F(ActionResourceTest, StoredUnderTheIdUsedAndDroppedWhenUnchecked) {
    sb::Stack s;
    s.cards = {sb::PlainCard(1)};
    s.nextObjectId = 50;
    s.resources.push_back({"Actn", 7, "", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 9, 9}, "a"))});
    Open("C:\\S\\act.stk", sb::BuildStack(s).bytes);

    ScopedHandle empty(LoadActionResource(0));
    const std::vector<uint8_t> bytes = HandleToBytes(empty.get());
    ASSERT_EQ(bytes.size(), kEmptyActionRecordBytes);
    EXPECT_EQ(GetU16(bytes, 0), 53);
    EXPECT_EQ(GetU32(bytes, 12), kEmptyActionRecordBytes);
    EXPECT_EQ(GetU16(bytes, 24), 3);
    EXPECT_EQ(GetU16(bytes, 76), 3);
    ScopedHandle stored(LoadActionResource(7));
    {
        const StackResFileCurrent current;
        EXPECT_EQ(HandleToBytes(stored.get()), HandleToBytes(GetResource(ResType("Actn"), 7)));
        EXPECT_NE(stored.get(), GetResource(ResType("Actn"), 7)) << "a copy";
    }

    uint16_t id = 0;
    ASSERT_EQ(StoreActionResource(&id, empty.get()), 1);
    EXPECT_EQ(id, 50);
    EXPECT_EQ(GetU16(HandleToBytes(empty.get()), 2), 50);
    const StackResFileCurrent current;
    EXPECT_NE(GetResource(ResType("Actn"), 50), Handle{0});

    uint16_t oldId = 7, newId = 7;
    SetOrDropActionResource(stored.get(), &oldId, &newId, false);
    EXPECT_EQ(newId, 0);
    EXPECT_EQ(GetResource(ResType("Actn"), 7), Handle{0});
    SetOrDropActionResource(stored.get(), nullptr, &newId, true);  // nothing without both
    EXPECT_EQ(newId, 0);
}

}  // namespace
