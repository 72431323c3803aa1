// Stepping over deleted cards, title numbers, and what the Jump to Card text names.
#include <gtest/gtest.h>

#include "host/player/CardNavigationRules.h"
#include "tests/stack/CardTestUtil.h"

namespace {

using namespace cardtest;

TEST_F(CardSessionTest, NavigationRulesPassOverDeletedCards) {
    sb::Stack stack;  // 11 "Alpha", 12 "Beta" (deleted), 13 "Gamma", 14 "Delta"
    for (const char* name : {"Alpha", "Beta", "Gamma", "Delta"}) {
        stack.cards.emplace_back();
        stack.cards.back().id = static_cast<uint16_t>(11 + stack.cards.size() - 1);
        stack.cards.back().name = name;
    }
    stack.cards[1].flags = kCardDeleted;
    Load(stack);
    EXPECT_EQ(GetCardId(NextLiveCard(FindCardById(11))), 13);
    EXPECT_EQ(GetCardId(NextLiveCard(FindCardById(14))), 11);
    EXPECT_EQ(GetCardId(PreviousLiveCard(FindCardById(11))), 14);
    EXPECT_EQ(CardTitleNumber(FindCardById(13)), 2);
    EXPECT_EQ(ComposeCardTitle("T.stk", " - Card ", true, 12), "T.stk * Card 12");  // with a background

    const std::pair<const char*, uint16_t> cards[] = {{"3", 14}, {"003", 14}, {"gAMMA", 13}};
    const char* none[] = {"0", "4", "", "99999999999"};
    const char* unknown[] = {"Beta", "3a", " Alpha"};
    uint16_t id = 0;
    for (const auto& [text, want] : cards)
        EXPECT_TRUE(ResolveJumpText(text, &id) == JumpTarget::kCard && id == want) << text;
    for (const char* text : none)
        EXPECT_TRUE(ResolveJumpText(text, &id) == JumpTarget::kNone && id == 0) << text;
    for (const char* text : unknown)
        EXPECT_EQ(ResolveJumpText(text, &id), JumpTarget::kNotFound) << text;
    EXPECT_EQ(ResolveJumpText(" \t\r\n", &id), JumpTarget::kBlank);
}

}  // namespace
