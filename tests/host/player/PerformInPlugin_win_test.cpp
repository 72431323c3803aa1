// The performer in the hosted plug-in: a click on the demo stack's Chime button plays its stored
// sound into the stand-in's sink and shows the second card at once.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "core/system/PluginModule.h"
#include "media/MediaManager.h"
#include "stack/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

void Click(HWND window, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    // Posted: a press tracks the mouse until its release arrives.
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
    PumpPageMessages();
}

TEST(PerformInPlugin, TheDemoChimePlaysItsStoredSoundAndMovesOnAtOnce) {
    const std::string sink = TempPath("loom_perform_sink.wav");
    DeleteFileA(sink.c_str());
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", sink.c_str());
    const std::string name = "demo-" + ProcessTag() + ".stk";
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(sb::DemoStack(), name, &page));
    ASSERT_TRUE(HasMediaManager());
    EXPECT_EQ(GetCurrentCardId(), 1);

    // A click beside every button stays; the Chime button (230, 140, 310, 175) plays and moves.
    Click(GetMainWindow(), 215, 120);
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_EQ(GetFileAttributesA(sink.c_str()), INVALID_FILE_ATTRIBUTES);
    Click(GetMainWindow(), 270, 157);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_NE(GetFileAttributesA(sink.c_str()), INVALID_FILE_ATTRIBUTES) << "the sink got the sound";

    CloseLinkedPlugin(&page);
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", nullptr);
    DeleteFileA(sink.c_str());
}

}  // namespace
