// Handing a button's id to its actions: the start hook hears it, and its move goes to the card
// navigation's mover with the record's transition.
#include "actions/ButtonActions.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/PluginModule.h"
#include "graphics/ObjectLayer.h"
#include "tests/stack/CardTestUtil.h"

namespace {

namespace sb = stackbuilder;

std::vector<uint16_t> g_started;
std::vector<std::vector<int>> g_moves;

class ButtonActionsTest : public cardtest::CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        g_started.clear();
        g_moves.clear();
        SetButtonActionsStartHook([](uint16_t id, uint32_t) { g_started.push_back(id); });
        SetDestinationMover([](int16_t d, int t, int e, int s) { g_moves.push_back({d, t, e, s}); });
    }
    void TearDown() override {
        SetButtonActionsStartHook(nullptr);
        SetDestinationMover(nullptr);
        CardSessionTest::TearDown();
    }
};

TEST_F(ButtonActionsTest, AReleasedButtonsMoveGoesToTheMover) {
    sb::Stack stack;
    sb::Card card = sb::PlainCard(1);
    card.objects = {sb::ShapedButton(4, {0, 0, 50, 20}, "Next", 1, 0, -1), sb::ShapedButton(5, {0, 30, 50, 50}, "Still", 0),
                    sb::ShapedButton(6, {0, 60, 50, 80}, "Card 2", 2, 0, 2)};
    stack.cards = {card, sb::PlainCard(2)};
    Load(stack);
    EXPECT_EQ(DoButtonActions(nullptr, 4, 1), 1);
    EXPECT_EQ(DoButtonActions(nullptr, 5, 1), 1);
    // Through the layer list, as a release inside a button hands it on.
    EXPECT_TRUE(GetLayerNeighbourProcs().runButtonActions(6));
    EXPECT_EQ(DoButtonActions(nullptr, 99, 1), 0);
    EXPECT_EQ(g_started, (std::vector<uint16_t>{4, 5, 6, 99}));
    EXPECT_EQ(g_moves, (std::vector<std::vector<int>>{{-1, 3, 0, 8}, {2, 3, 0, 8}}));
}

}  // namespace
