// The guard of the authoring dialogs: what it holds, the walk's own moves, nesting, and the
// order and the time at which the held moves are done.
#include "core/events/CardLeaveGuard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(CardLeaveGuard, MovesWaitForTheLastDialogAndRunInTheirOrderButTheWalksOwnPass) {
    DropHeldCardLeaves();
    std::vector<int> done;
    EXPECT_FALSE(HoldCardLeave([&] { done.push_back(0); })) << "no dialog: the caller goes on";
    EXPECT_FALSE(IsCardLeaveHeld());
    {
        const CardLeaveGuard outer;
        EXPECT_TRUE(HoldCardLeave([&] { done.push_back(1); }));
        {
            const CardLeaveGuard inner;  // a chooser opened from the dialog
            EXPECT_TRUE(HoldCardLeave([&] { done.push_back(2); }));
            {
                const CardWalkMove walk;
                EXPECT_FALSE(IsCardLeaveHeld());
                EXPECT_TRUE(IsCardLeaveGuarded());
                EXPECT_FALSE(HoldCardLeave([&] { done.push_back(9); })) << "the walk's own move runs";
            }
        }
        EXPECT_EQ(RunHeldCardLeaves(), 0) << "the outer dialog still runs";
        EXPECT_TRUE(done.empty());
    }
    EXPECT_EQ(HeldCardLeaveCount(), 2);
    EXPECT_EQ(RunHeldCardLeaves(), 2);
    EXPECT_EQ(done, (std::vector<int>{1, 2}));
    EXPECT_EQ(HeldCardLeaveCount(), 0);
}

TEST(CardLeaveGuard, AHeldMoveThatOpensADialogHoldsWhatFollowsAndDroppingForgetsAll) {
    DropHeldCardLeaves();
    std::vector<int> done;
    {
        const CardLeaveGuard dialog;
        HoldCardLeave([&] {
            done.push_back(1);
            // The card it enters runs a dialog of its own, under which a timer asks to move.
            const CardLeaveGuard again;
            HoldCardLeave([&] { done.push_back(3); });
            EXPECT_EQ(RunHeldCardLeaves(), 0);
        });
        HoldCardLeave([&] { done.push_back(2); });
    }
    EXPECT_EQ(RunHeldCardLeaves(), 3);
    EXPECT_EQ(done, (std::vector<int>{1, 2, 3}));
    {
        const CardLeaveGuard dialog;
        HoldCardLeave([&] { done.push_back(4); });
    }
    DropHeldCardLeaves();  // the page closed
    EXPECT_EQ(RunHeldCardLeaves(), 0);
    EXPECT_EQ(done.size(), 3u);
}

// Held work belongs to the stack and card it was asked on: a held move made first leaves the
// card, so what was asked on that card is dropped, and a stack opened since drops the rest; work
// of the stack alone (an open) survives the move. A module's request waits under the walk's own
// move too.
TEST(CardLeaveGuard, HeldWorkRunsOnlyOnTheStackAndCardItWasAskedOn) {
    DropHeldCardLeaves();
    SetGuardPlace(7, 1);
    std::vector<int> done;
    {
        const CardLeaveGuard dialog;
        HoldCardLeave([&] {
            done.push_back(1);
            SetGuardPlace(7, 2);  // the move to the next card
        });
        HoldCardLeave([&] { done.push_back(2); });
        HoldCardLeave([&] { done.push_back(3); }, HeldScope::kStack);
        {
            const CardWalkMove walk;
            EXPECT_FALSE(HoldCardLeave([&] { done.push_back(9); }));
            EXPECT_TRUE(HoldWhileGuarded([&] { done.push_back(4); }, HeldScope::kStack));
        }
    }
    EXPECT_FALSE(HoldWhileGuarded([&] { done.push_back(9); })) << "no dialog: the caller goes on";
    EXPECT_EQ(RunHeldCardLeaves(), 3);
    EXPECT_EQ(done, (std::vector<int>{1, 3, 4}));
    {
        const CardLeaveGuard dialog;
        HoldCardLeave([&] { done.push_back(5); }, HeldScope::kStack);
    }
    SetGuardPlace(8, 2);  // another stack opened
    EXPECT_EQ(RunHeldCardLeaves(), 0);
    EXPECT_EQ(HeldCardLeaveCount(), 0);
    SetGuardPlace(0, 0);
}

}  // namespace
