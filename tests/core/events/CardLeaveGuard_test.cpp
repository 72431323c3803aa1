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

}  // namespace
