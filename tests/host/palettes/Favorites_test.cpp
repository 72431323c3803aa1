// The favourites' rules without the dialogs: entry texts, the table's adds and removals,
// hostile stored values, palette placement and the icon buttons' layout.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "host/palettes/Favorites.h"
#include "host/palettes/IconButtons.h"
#include "format/StackFile.h"

namespace {

FavoriteEntry Entry(std::string_view path, std::string_view stack, uint16_t id, std::string_view card) {
    FavoriteEntry e{};
    SetFavoriteEntry(&e, path, stack, id, card);
    return e;
}

TEST(Favorites, EntryTextsAndFieldsAreCut) {
    EXPECT_EQ(FormatFavorite(Entry("C:\\s\\x.stk", "x.stk", 1234, ""), "Card ID: "), "x.stk - Card ID: 1234");
    EXPECT_EQ(FormatFavorite(Entry("C:\\s\\x.stk", "x.stk", 7, "Welcome"), "Card ID: "), "x.stk - Welcome");

    const std::string longCard(40, 'c'), longStack(100, 's'), longPath(300, 'p');
    const FavoriteEntry cut = Entry(longPath, longStack, 1, longCard);
    EXPECT_EQ(std::string(cut.cardName), std::string(15, 'c'));
    EXPECT_EQ(std::string(cut.stackName), std::string(63, 's'));
    EXPECT_EQ(std::string(cut.path), std::string(259, 'p'));
    const FavoriteEntry wide = Entry(std::string(200, 'q'), "a", 1, "b");
    EXPECT_EQ(std::string(wide.path).size(), 200u) << "a 200-character path fits whole";

    EXPECT_EQ(CardListItemText(3, ""), "3");
    EXPECT_EQ(CardListItemText(12, "Index"), "12 - Index");
    EXPECT_EQ(CardListItemText(1, std::string(80, 'n')).size(), 48u);
}

TEST(Favorites, DuplicatesAreTheSameCardOfTheSameFileInAnyCase) {
    std::array<FavoriteEntry, kMaxFavorites> table{};
    int count = 0;
    EXPECT_TRUE(AddFavorite(table, &count, Entry("C:\\A.stk", "A.stk", 5, "")));
    EXPECT_FALSE(AddFavorite(table, &count, Entry("c:\\a.stk", "a.stk", 5, ""))) << "the same file";
    EXPECT_TRUE(AddFavorite(table, &count, Entry("C:\\one\\intro.stk", "intro.stk", 5, "")));
    EXPECT_TRUE(AddFavorite(table, &count, Entry("C:\\two\\intro.stk", "intro.stk", 5, ""))) << "another folder";
    EXPECT_TRUE(AddFavorite(table, &count, Entry("C:\\A.stk", "A.stk", 6, ""))) << "another card";
    EXPECT_EQ(count, 4);
    for (int i = count; i < kMaxFavorites; ++i)
        ASSERT_TRUE(AddFavorite(table, &count, Entry("C:\\f" + std::to_string(i) + ".stk", "f", 1, "")));
    EXPECT_EQ(count, 30);
    EXPECT_FALSE(AddFavorite(table, &count, Entry("C:\\new.stk", "new.stk", 1, ""))) << "the 31st";
    EXPECT_EQ(count, 30);

    EXPECT_FALSE(RemoveFavorite(table, &count, -1));
    EXPECT_FALSE(RemoveFavorite(table, &count, 30));
    EXPECT_TRUE(RemoveFavorite(table, &count, 1));
    EXPECT_EQ(count, 29);
    EXPECT_EQ(std::string(table[1].path), "C:\\two\\intro.stk") << "later entries move up";
    EXPECT_EQ(table[29].path[0], '\0');
}

TEST(Favorites, StoredValuesAreHostile) {
    EXPECT_EQ(ClampFavoriteCount(ParsePrefNumber("99", 0)), 30);
    EXPECT_EQ(ClampFavoriteCount(ParsePrefNumber("-4", 0)), 0);
    EXPECT_EQ(ClampFavoriteCount(ParsePrefNumber("Bad", 0)), 0);
    EXPECT_EQ(ParsePrefNumber(" 5000", -1), 5000);
    EXPECT_EQ(ParsePrefNumber("99999999999999999999", -1), -1) << "out of range";
    EXPECT_EQ(FavoriteKeyName(FavoriteKey::kCardId, 12), "FavCardID12");
    EXPECT_EQ(FavoriteKeyName(FavoriteKey::kCard, 0), "FavCard0");

    // A card record's name length byte beyond its field or the record.
    std::vector<uint8_t> record(kCardName + kCardNameBytes, 'x');
    record[kCardName] = 200;
    EXPECT_EQ(CardNameOfRecord(record), std::string(15, 'x'));
    record[kCardName] = 4;
    record[kCardName + 3] = 0;
    EXPECT_EQ(CardNameOfRecord(record), "xx");
    EXPECT_EQ(CardNameOfRecord(std::span(record).first(kCardName + 3)), "");
}

TEST(Favorites, PalettesArePulledOntoTheScreen) {
    const struct {
        PalettePlace in;
        int expectX, expectY;
    } cases[] = {{{5000, 10}, 1024 - 200, 10}, {{-50, -5}, 0, 0}, {{100, 700}, 100, 768 - 90}, {{824, 678}, 824, 678}};
    for (const auto& c : cases) {
        const PalettePlace out = ClampPaletteToScreen(c.in, 200, 90, 1024, 768);
        EXPECT_EQ(out.x, c.expectX) << c.in.x << "," << c.in.y;
        EXPECT_EQ(out.y, c.expectY) << c.in.x << "," << c.in.y;
    }
}

TEST(IconButtons, IconIdsAndLayouts) {
    EXPECT_EQ(IconButtonIconId(129, false, false), 129);
    EXPECT_EQ(IconButtonIconId(129, true, false), 130);
    EXPECT_EQ(IconButtonIconId(129, false, true), 131);
    EXPECT_EQ(IconButtonIconId(-154, true, true), 154);

    const ButtonBox work{1, 1, 101, 51};
    const ButtonSize icon{32, 32}, text{40, 13};
    const struct {
        uint32_t style;
        ButtonSize text;
        IconButtonLayout expect;
    } cases[] = {
        {kButtonLeft | kButtonTop, text, {42, 1, 1, 1}},
        {kButtonRight | kButtonBottom, text, {28, 19, 61, 38}},
        {kButtonCentre, text, {14, 10, 47, 19}},
        {0, text, {69, 10, 1, 19}},
        {kButtonCentre | kButtonVCentre, text, {35, 3, 31, 34}},  // text held 4 above the bottom
        {kButtonCentre | kButtonVCentre, {}, {35, 10, 51, 43}},   // no caption: the icon centred
    };
    for (const auto& c : cases) {
        const IconButtonLayout at = LayOutIconButton(work, icon, c.text, c.style);
        EXPECT_EQ(at.iconX, c.expect.iconX) << std::hex << c.style;
        EXPECT_EQ(at.iconY, c.expect.iconY) << std::hex << c.style;
        if (c.text.width > 0) {
            EXPECT_EQ(at.textX, c.expect.textX) << std::hex << c.style;
            EXPECT_EQ(at.textY, c.expect.textY) << std::hex << c.style;
        }
    }
}

}  // namespace
