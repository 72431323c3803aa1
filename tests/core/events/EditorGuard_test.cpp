// The editor guard: what it holds and with which scope, the editor's own moves, nesting, and the
// order and the time at which the held moves are done.
#include "core/events/EditorGuard.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(EditorGuard, MovesWaitForTheLastDialogAndRunInTheirOrderButTheWalksOwnPass) {
    DropHeldWork();
    std::vector<int> done;
    EXPECT_FALSE(HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(0); })) << "no dialog: the caller goes on";
    EXPECT_FALSE(EditorHolds(HeldScope::kCard));
    {
        const EditorGuard outer;
        EXPECT_TRUE(HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(1); }));
        {
            const EditorGuard inner;  // a chooser opened from the dialog
            EXPECT_TRUE(HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(2); }));
            {
                const EditorOwnMove walk;
                EXPECT_FALSE(EditorHolds(HeldScope::kCard));
                EXPECT_TRUE(EditorRuns());
                EXPECT_FALSE(HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(9); })) << "the walk's own move runs";
            }
        }
        EXPECT_EQ(RunHeldWork(), 0) << "the outer dialog still runs";
        EXPECT_TRUE(done.empty());
    }
    EXPECT_EQ(HeldWorkCount(), 2);
    EXPECT_EQ(RunHeldWork(), 2);
    EXPECT_EQ(done, (std::vector<int>{1, 2}));
    EXPECT_EQ(HeldWorkCount(), 0);
}

TEST(EditorGuard, AHeldMoveThatOpensADialogHoldsWhatFollowsAndDroppingForgetsAll) {
    DropHeldWork();
    std::vector<int> done;
    {
        const EditorGuard dialog;
        HoldUnderEditor(HeldScope::kCard, [&] {
            done.push_back(1);
            // The card it enters runs a dialog of its own, under which a timer asks to move.
            const EditorGuard again;
            HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(3); });
            EXPECT_EQ(RunHeldWork(), 0);
        });
        HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(2); });
    }
    EXPECT_EQ(RunHeldWork(), 3);
    EXPECT_EQ(done, (std::vector<int>{1, 2, 3}));
    {
        const EditorGuard dialog;
        HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(4); });
    }
    DropHeldWork();  // the page closed
    EXPECT_EQ(RunHeldWork(), 0);
    EXPECT_EQ(done.size(), 3u);
}

// Held work belongs to the stack and card it was asked on: a held move made first leaves the
// card, so what was asked on that card is dropped, and a stack opened since drops the rest; work
// of the stack alone (a save, an open) survives the move, and the same stack read again from its
// file. A module's request waits under the walk's own move too.
TEST(EditorGuard, HeldWorkRunsOnlyOnTheStackAndCardItWasAskedOn) {
    DropHeldWork();
    SetGuardPlace(7, 1);
    std::vector<int> done;
    {
        const EditorGuard dialog;
        HoldUnderEditor(HeldScope::kCard, [&] {
            done.push_back(1);
            SetGuardPlace(7, 2);  // the move to the next card
        });
        HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(2); });
        HoldUnderEditor(HeldScope::kStack, [&] { done.push_back(3); });
        {
            const EditorOwnMove walk;
            EXPECT_TRUE(EditorMoves());
            EXPECT_FALSE(HoldUnderEditor(HeldScope::kCard, [&] { done.push_back(9); }));
            EXPECT_FALSE(HoldUnderEditor(HeldScope::kStack, [&] { done.push_back(9); }));
            EXPECT_TRUE(HoldUnderEditor(HeldScope::kOutside, [&] { done.push_back(4); }));
        }
    }
    EXPECT_FALSE(HoldUnderEditor(HeldScope::kOutside, [&] { done.push_back(9); })) << "no dialog: the caller goes on";
    EXPECT_EQ(RunHeldWork(), 2);
    EXPECT_EQ(done, (std::vector<int>{1, 3}));
    {
        const EditorGuard dialog;
        HoldUnderEditor(HeldScope::kStack, [&] { done.push_back(5); });
        KeepGuardStack(7, 9);  // the walk came back to its stack's file
        SetGuardPlace(9, 1);
        HoldUnderEditor(HeldScope::kStack, [&] { done.push_back(6); });
    }
    SetGuardPlace(8, 2);  // another stack opened
    EXPECT_EQ(RunHeldWork(), 0);
    EXPECT_EQ(HeldWorkCount(), 0);
    {
        const EditorGuard dialog;
        HoldUnderEditor(HeldScope::kStack, [&] { done.push_back(7); });
        KeepGuardStack(8, 10);
        SetGuardPlace(10, 3);
    }
    EXPECT_EQ(RunHeldWork(), 1);
    EXPECT_EQ(done, (std::vector<int>{1, 3, 7}));
    SetGuardPlace(0, 0);
}

}  // namespace
