// Item texts of the context menu: names from the stack clamped to their fields, the "%s" fill and
// the suffix rule, each within 255 characters.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/window/ContextMenuText.h"

TEST(ContextMenuText, NamesAreClampedToTheirFields) {
    const std::vector<uint8_t> card = {4, 'H', 'o', 'm', 'e', 0, 0, 0};
    EXPECT_EQ(NameFromField(card), "Home");
    // A length byte beyond the field reads no further than the field.
    std::vector<uint8_t> hostile(16, 'x');
    hostile[0] = 255;
    EXPECT_EQ(NameFromField(hostile), std::string(15, 'x'));
    const std::vector<uint8_t> withNul = {5, 'a', 'b', 0, 'c', 'd'};
    EXPECT_EQ(NameFromField(withNul), "ab");
    EXPECT_EQ(NameFromField({}), "");
    EXPECT_EQ(NameFromField(std::vector<uint8_t>{0, 'z'}), "");
}

TEST(ContextMenuText, FillAndSuffixStayWithinTheLimit) {
    EXPECT_EQ(FillItemName("Card: %s...", "42"), "Card: 42...");
    EXPECT_EQ(FillItemName("Button: %s...", "100% %s"), "Button: 100% %s...");
    EXPECT_EQ(FillItemName("Icons...", "x"), "Icons...");
    EXPECT_EQ(FillItemName("Card: %s...", "R&D"), "Card: R&&D...");
    const std::string longName(400, 'n');
    const std::string filled = FillItemName("Text: %s...", longName);
    EXPECT_EQ(filled.size(), kMaxContextItemText);
    EXPECT_EQ(filled.substr(0, 6), "Text: ");

    EXPECT_EQ(AppendItemSuffix("Cut ", "text"), "Cut text");
    EXPECT_EQ(AppendItemSuffix("Paste ", ""), "Paste ");
    EXPECT_EQ(AppendItemSuffix("Paste", "card"), "Paste");
    EXPECT_EQ(AppendItemSuffix("Copy ", std::string(300, 's')).size(), kMaxContextItemText);
}
