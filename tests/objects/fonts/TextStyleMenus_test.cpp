// The Format menu's rules: style checks, sizes of a face, the nearest size, recent fonts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "objects/fonts/TextStyleMenus.h"

namespace {

TEST(TextStyleMenus, StylesSizesAndRecentFonts) {
    // Bold twice gives Plain; Plain clears the others.
    StyleChecks checks;
    checks = ToggleStyleItem(checks, 1);
    EXPECT_FALSE(checks.plain);
    EXPECT_EQ(StyleBitsOf(checks), 1);
    checks = ToggleStyleItem(ToggleStyleItem(checks, 3), 1);
    EXPECT_EQ(StyleBitsOf(checks), 4);
    EXPECT_FALSE(checks.plain);
    checks = ToggleStyleItem(checks, 3);
    EXPECT_TRUE(checks.plain);
    EXPECT_EQ(StyleBitsOf(ToggleStyleItem(StyleChecksOf(7), 0)), 0);

    // A TrueType face offers the 16 standard sizes; others their own, once each.
    const InstalledSize trueType[] = {{kTrueTypeFontType, 0}, {kTrueTypeFontType, 0}};
    EXPECT_EQ(SizesForFace(trueType).size(), 16u);
    const InstalledSize raster[] = {{1, 13}, {1, 9}, {1, 13}};
    const std::vector<int> sizes = SizesForFace(raster);
    EXPECT_EQ(sizes, (std::vector<int>{9, 13}));
    EXPECT_EQ(NearestSizeIndex(sizes, 11), 0u);  // a tie goes to the first
    EXPECT_EQ(NearestSizeIndex(sizes, 12), 1u);
    EXPECT_FALSE(NearestSizeIndex({}, 12));
    std::vector<InstalledSize> many;
    for (int p = 1; p <= 100; ++p)
        many.push_back({1, p});
    EXPECT_EQ(SizesForFace(many).size(), kSizeItemsMax);
    EXPECT_EQ(ParseSizeItem(" 12"), 12);
    EXPECT_FALSE(ParseSizeItem("big"));
    EXPECT_FALSE(ParseSizeItem("  0"));

    // Recent fonts: the chosen face in front, no repeat, at most 12; shown in name order.
    std::vector<std::string> recent;
    for (int i = 0; i < 14; ++i)
        AddRecentFont(recent, "Face" + std::to_string(i));
    AddRecentFont(recent, "face5");
    EXPECT_EQ(recent.size(), 12u);
    EXPECT_EQ(recent.front(), "face5");
    EXPECT_EQ(std::ranges::count_if(recent, [](const std::string& n) { return n == "Face5"; }), 0);
    EXPECT_EQ(SortedFontNames({"Arial Black", "Arial", "Zapf", "Ab"}),
              (std::vector<std::string>{"Ab", "Arial", "Arial Black", "Zapf"}));
}

TEST(TextStyleMenus, FontListsFollowTheInstalledFamilies) {
    // None of the delivered fonts: both lists hold the three plain faces as installed, spelled
    // as the system spells them.
    const std::vector<std::string> plain = {"Tahoma", "MS Sans Serif", "ARIAL", "System"};
    FontMenuLists lists = ChooseFontMenuLists(plain);
    EXPECT_EQ(lists.delivered, (std::vector<std::string>{"ARIAL", "MS Sans Serif"}));
    EXPECT_EQ(lists.recent, lists.delivered);
    // Delivered ones installed: only they, and the recent list starts with the first-recent ones.
    const std::vector<std::string> decorative = {"Arial", "stencil", "Ravie", "Jokerman", "Courier New"};
    lists = ChooseFontMenuLists(decorative);
    EXPECT_EQ(lists.delivered, (std::vector<std::string>{"Jokerman", "Ravie", "stencil"}));
    EXPECT_EQ(lists.recent, (std::vector<std::string>{"Jokerman", "stencil"}));
    EXPECT_TRUE(ChooseFontMenuLists({}).delivered.empty());
    EXPECT_EQ(FindFamilyNoCase(decorative, "COURIER NEW"), "Courier New");
}

}  // namespace
