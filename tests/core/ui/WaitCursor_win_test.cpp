// The wait cursor: shown at the outermost begin, the cursor before it back at the matching end.
#include "core/ui/WaitCursor.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(WaitCursorWin, NestedWaitsPutBackTheCursorFromBeforeTheFirst) {
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    SetCursor(arrow);
    EndWaitCursor();  // an end without a begin changes nothing
    EXPECT_EQ(GetCursor(), arrow);

    BeginWaitCursor();
    EXPECT_EQ(GetCursor(), wait);
    {
        WaitCursor inner;
        EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), wait) << "an inner end puts nothing back";
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);

    SetCursor(nullptr);
    {
        WaitCursor scoped;
        EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), nullptr);
    SetCursor(arrow);
}

}  // namespace
