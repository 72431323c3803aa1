// The mouse-hook stack: nesting up to six hooks, each pop bringing back the one before.
#include "core/events/MouseHooks.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> g_calls;

template <int N>
int Hook(unsigned message, HWND__*, int x, int y) {
    g_calls.push_back(N);
    return message == 512 && x == N && y == -N ? 1 : 0;  // consumes its own point only
}

class MouseHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearMouseHooks();
        g_calls.clear();
    }
    void TearDown() override { ClearMouseHooks(); }
};

TEST_F(MouseHooksTest, SixNestAndPopInReverse) {
    EXPECT_FALSE(MouseHookActive());
    EXPECT_EQ(CallMouseHook(512, nullptr, 1, -1), 0) << "no hook: nothing consumes";
    const MouseHook hooks[] = {Hook<1>, Hook<2>, Hook<3>, Hook<4>, Hook<5>, Hook<6>};
    for (MouseHook hook : hooks)
        EXPECT_EQ(PushMouseHook(hook), 1);
    EXPECT_EQ(PushMouseHook(Hook<7>), 0) << "five saved and one current is the most";
    EXPECT_EQ(CurrentMouseHook(), Hook<6>);

    // Only the current hook is asked; it answers for its own point.
    EXPECT_EQ(CallMouseHook(512, nullptr, 6, -6), 1);
    EXPECT_EQ(CallMouseHook(512, nullptr, 5, -5), 0);
    EXPECT_EQ(CallMouseHook(514, nullptr, 6, -6), 0);
    EXPECT_EQ(g_calls, (std::vector<int>{6, 6, 6}));

    for (int expected = 5; expected >= 1; --expected) {
        PopMouseHook();
        g_calls.clear();
        CallMouseHook(512, nullptr, 0, 0);
        EXPECT_EQ(g_calls, std::vector<int>{expected}) << "after popping down to " << expected;
    }
    PopMouseHook();
    EXPECT_FALSE(MouseHookActive());
    PopMouseHook();  // one pop too many changes nothing
    EXPECT_FALSE(MouseHookActive());
}

TEST_F(MouseHooksTest, PopWithoutSavedHooksClearsTheCurrentOne) {
    ASSERT_EQ(PushMouseHook(Hook<1>), 1);
    ASSERT_EQ(PushMouseHook(Hook<2>), 1);
    PopMouseHook();
    EXPECT_EQ(CurrentMouseHook(), Hook<1>);
    // A hook pushed after a pop reuses the freed slot: the nest stays six deep.
    for (MouseHook hook : {Hook<3>, Hook<4>, Hook<5>, Hook<6>, Hook<7>})
        EXPECT_EQ(PushMouseHook(hook), 1);
    EXPECT_EQ(PushMouseHook(Hook<2>), 0);
    PopMouseHook();
    EXPECT_EQ(CurrentMouseHook(), Hook<6>);
    ClearMouseHooks();
    ASSERT_EQ(PushMouseHook(Hook<1>), 1);
    PopMouseHook();
    EXPECT_EQ(CurrentMouseHook(), nullptr);
}

}  // namespace
