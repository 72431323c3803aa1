// The plug-in hosted in this program: while a stack is shown QuickTime is bound and Video for
// Windows loaded; once the instance and the plug-in have ended, both are gone.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "media/MediaManager.h"
#include "quicktime/QuickTime.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;

class MediaShutdown : public LinkedPluginTest {};

TEST_F(MediaShutdown, QuickTimeAndVideoForWindowsGoWithThePlugin) {
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(120, 90, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    stack.cards.push_back(card);
    ASSERT_TRUE(Open(stack));
    EXPECT_TRUE(HasMediaManager());
    EXPECT_TRUE(IsQTBound());
    EXPECT_NE(GetModuleHandleA(kQtLibraryName), nullptr);
    const int starts = AviFileInitCalls();
    EXPECT_EQ(LoadVideoForWindows(), 1);
    EXPECT_EQ(AviFileInitCalls(), starts) << "loaded at start-up already";

    CloseLinkedPlugin(&page);
    EXPECT_FALSE(HasMediaManager());
    EXPECT_FALSE(IsQTBound());
    EXPECT_EQ(GetModuleHandleA(kQtLibraryName), nullptr) << "the stand-in is unloaded";
    EXPECT_EQ(LoadVideoForWindows(), 1);
    EXPECT_EQ(AviFileInitCalls(), starts + 1) << "Video for Windows was unloaded, so it starts afresh";
    UnloadVideoForWindows(kMediaVideoForWindows);
}

}  // namespace
