// The stack's change flags: which calls set and clear which flag, and saving and restoring them.
#include "core/system/ChangeFlags.h"

#include <gtest/gtest.h>

namespace {

void ClearAll() {
    ClearStackChanged();
    ClearCardChanged();
}

TEST(ChangeFlags, MarkAndClear) {
    ClearAll();
    EXPECT_FALSE(IsStackChanged());
    EXPECT_FALSE(IsCardChanged());

    MarkCardChanged();
    EXPECT_TRUE(IsCardChanged());
    EXPECT_FALSE(IsStackChanged());

    ClearAll();
    MarkStackChanged();
    EXPECT_TRUE(IsStackChanged());
    EXPECT_TRUE(IsCardChanged());
    ClearCardChanged();
    EXPECT_TRUE(IsStackChanged());
    EXPECT_FALSE(IsCardChanged());
    ClearStackChanged();
    EXPECT_FALSE(IsStackChanged());

    // The second flag makes the stack changed without touching the card.
    MarkStackModified();
    EXPECT_TRUE(IsStackChanged());
    EXPECT_FALSE(IsCardChanged());
    EXPECT_EQ(GetChangeFlags().stackChanged, 0);
    ClearStackChanged();
    EXPECT_FALSE(IsStackChanged());
}

TEST(ChangeFlags, SaveAndRestoreAroundAnOperation) {
    ClearAll();
    MarkStackChanged();
    ClearCardChanged();
    const ChangeFlags saved = GetChangeFlags();
    EXPECT_EQ(saved.stackChanged, 1);
    EXPECT_EQ(saved.cardChanged, 0);

    ClearStackChanged();
    MarkCardChanged();
    SetChangeFlags(saved);
    EXPECT_TRUE(IsStackChanged());
    EXPECT_FALSE(IsCardChanged());

    SetChangeFlags({0, 1});
    EXPECT_FALSE(IsStackChanged());
    EXPECT_TRUE(IsCardChanged());
    ClearAll();
}

}  // namespace
