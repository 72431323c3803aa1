// The live video overlay in the plug-in as the test browser hosts it: editing a live video action
// shows the capture picture over the action's rectangle, a drag inside it moves it (the clicks
// reach the card through the capture window), and a click off it ends the overlay with the
// moved rectangle and the live video flags in the action.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "actions/ActionBlock.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "media/capture/Capture.h"
#include "media/video/VideoAction.h"
#include "media/video/VideoSources.h"
#include "tests/media/CardDrag_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

struct Seen {
    HWND live = nullptr;
    HWND liveParent = nullptr;
    int liveId = 0;
    RECT liveRect{};
    int step = 0;
    HWND card = nullptr;
};
Seen g_seen;

void CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_seen.step == 0) {
        g_seen.live = GetLiveVideoWindow();
        if (!g_seen.live)
            return;
        g_seen.liveParent = GetParent(g_seen.live);
        g_seen.liveId = GetDlgCtrlID(g_seen.live);
        GetWindowRect(g_seen.live, &g_seen.liveRect);
        MapWindowPoints(nullptr, g_seen.card, reinterpret_cast<POINT*>(&g_seen.liveRect), 2);
        // A drag from the middle of the picture, 10 right and 5 down.
        PostMessageA(g_seen.live, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(29, 19));
        PostMessageA(g_seen.live, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(39, 24));
        PostMessageA(g_seen.live, WM_LBUTTONUP, 0, MAKELPARAM(39, 24));
    } else {
        // A click off the rectangle ends it.
        PostMessageA(g_seen.card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115, 85));
        PostMessageA(g_seen.card, WM_LBUTTONUP, 0, MAKELPARAM(115, 85));
        KillTimer(nullptr, timer);
    }
    ++g_seen.step;
}

// A plain click on the picture (press and release at one point), or Enter, then, should the
// overlay still run, a click off it.
template <bool kEnter>
void CALLBACK ClickInside(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_seen.step == 0) {
        g_seen.live = GetLiveVideoWindow();
        if (!g_seen.live)
            return;
        if (kEnter) {
            PostMessageA(g_seen.card, WM_CHAR, VK_RETURN, 0);
        } else {
            PostMessageA(g_seen.live, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
            PostMessageA(g_seen.live, WM_LBUTTONUP, 0, MAKELPARAM(20, 15));
        }
    } else {
        PostMessageA(g_seen.card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115, 85));
        PostMessageA(g_seen.card, WM_LBUTTONUP, 0, MAKELPARAM(115, 85));
        KillTimer(nullptr, timer);
    }
    ++g_seen.step;
}

// Runs the overlay on a live action (no disc) over (10, 10, 70, 50) with the timer's clicks; the
// steps the timer took before it ended, -1 when the edit failed.
int RunLiveAction(HWND card, TIMERPROC clicks, ActionBlock* block, int* chosen, int* hadVideo) {
    g_seen = Seen{};
    g_seen.card = card;
    *block = ActionBlock{};
    block->videodiscFlags = 3;
    block->videodiscRect = {10, 10, 70, 50};
    const UINT_PTR timer = SetTimer(nullptr, 0, 300, clicks);
    const int ok = EditVideoAction(card, block, chosen, hadVideo, 5);
    KillTimer(nullptr, timer);
    return ok ? g_seen.step : -1;
}

// A 120 x 90 card in a page; a movie the open dialog takes for a video action, placed by a drag
// to (4, 6) and its options taken with OK.
class LiveOverlayInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open(OneCardStack(120, 90))); }
    void TearDown() override {
        *GetActionBlock() = ActionBlock{};
        LinkedPluginTest::TearDown();
        if (!avi_.empty())
            DeleteFileA(avi_.c_str());
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
    }
    // Runs edit with the movie's dialogs answered; what edit returns.
    int ChooseMovie(const std::function<int()>& edit) {
        avi_ = WriteTemp("loom_videoaction.avi", RleAvi());
        CardDrag drag(page.embed, 4 - (120 - kAviWidth) / 2, 6 - (90 - kAviHeight) / 2);
        DialogDriver driver(15000);
        driver.Expect(DialogMatch::Caption("Please select a movie file"), [&](DialogView& box) {
            box.SetFileName(avi_);
            box.Press(IDOK);
        });
        driver.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& box) { box.Press(IDOK); });
        const int result = driver.Run(edit);
        return result;
    }

private:
    std::string avi_;
};

}  // namespace

TEST_F(LiveOverlayInPlugin, APlainClickOrEnterEndsTheOverlayUnmoved) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    for (const TIMERPROC stop : {&ClickInside<false>, &ClickInside<true>}) {
        ActionBlock block{};
        int chosen = 9, hadVideo = 9;
        EXPECT_EQ(RunLiveAction(page.embed, stop, &block, &chosen, &hadVideo), 1) << "the first click or Enter ended it";
        EXPECT_NE(g_seen.live, nullptr);
        EXPECT_FALSE(IsWindow(g_seen.live));
        EXPECT_EQ(block.videodiscFlags, 3);
        EXPECT_EQ(block.videodiscRect.left, 10);
        EXPECT_EQ(block.videodiscRect.top, 10);
        EXPECT_EQ(block.videodiscRect.right, 70);
        EXPECT_EQ(block.videodiscRect.bottom, 50);
        const RECT clickRect = VideoClickRect();
        EXPECT_TRUE(IsRectEmpty(&clickRect)) << "the overlay gone, a press there is the card's own";
    }
}

// A movie action (beside a stale videodisc segment) edited: the movie's options go straight up;
// OK keeps the movie and leaves no segment.
TEST_F(LiveOverlayInPlugin, AMovieTakenByItsOptionsEmptiesTheSegment) {
    ActionBlock* block = GetActionBlock();
    *block = ActionBlock{};
    block->movieSet = 1;
    block->videodiscStart[0] = 30;
    block->videodiscStart[1] = 'S';
    block->videodiscFlags = 1;
    int chosen = 9, hadVideo = 9;
    // No file is known yet: one is chosen, placed, and its options taken.
    EXPECT_EQ(ChooseMovie([&] { return EditVideoAction(page.embed, block, &chosen, &hadVideo, 7); }), 1);
    EXPECT_EQ(hadVideo, 1);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(block->movieSet, 1u);
    EXPECT_EQ(block->videodiscStart[0], 0) << "the segment is emptied";
    EXPECT_EQ(block->videodiscFlags, 2);
    EXPECT_EQ(block->movieRect.left, 4);
    EXPECT_EQ(block->movieRect.top, 6);
    EXPECT_EQ(block->movieRect.right, 4 + kAviWidth);
    EXPECT_EQ(block->movieRect.bottom, 6 + kAviHeight);
}

// The object menu's Video... on an object's own block: the movie the options take lands in that
// block, and the working block is left as it was.
TEST_F(LiveOverlayInPlugin, AMovieChosenFromTheObjectMenuLandsInTheObjectsBlock) {
    ActionBlock* working = GetActionBlock();
    *working = ActionBlock{};
    working->destination = 5;
    ActionBlock own{};
    own.movieSet = 1;
    const ActionChoiceTarget target{page.embed, nullptr, kObjectButton, 0, 0};
    EXPECT_EQ(ChooseMovie([&] { return RunActionChoice(target, kChoiceVideo, &own); }), 1);
    EXPECT_EQ(own.movieSet, 1u);
    EXPECT_EQ(own.movieRect.left, 4);
    EXPECT_EQ(own.movieRect.right, 4 + kAviWidth);
    EXPECT_EQ(working->destination, 5) << "the working block is given back";
    EXPECT_EQ(working->movieSet, 0u);
}

TEST_F(LiveOverlayInPlugin, ALiveActionIsMovedAndKept) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    ActionBlock block{};
    int chosen = 9, hadVideo = 9;
    EXPECT_EQ(RunLiveAction(page.embed, Step, &block, &chosen, &hadVideo), 2);
    EXPECT_EQ(hadVideo, 1);
    EXPECT_EQ(chosen, 0);

    ASSERT_NE(g_seen.live, nullptr) << "the overlay's capture window";
    EXPECT_EQ(g_seen.liveParent, page.embed);
    EXPECT_EQ(g_seen.liveId, 69);
    EXPECT_EQ(g_seen.liveRect.left, 11) << "the action's rectangle inset by a pixel";
    EXPECT_EQ(g_seen.liveRect.bottom, 49);
    EXPECT_FALSE(IsWindow(g_seen.live)) << "gone with the overlay";
    EXPECT_EQ(GetLiveVideoWindow(), nullptr);

    EXPECT_EQ(block.videodiscFlags, 3);
    EXPECT_EQ(block.videodiscRect.left, 20);
    EXPECT_EQ(block.videodiscRect.top, 15);
    EXPECT_EQ(block.videodiscRect.right, 80);
    EXPECT_EQ(block.videodiscRect.bottom, 55);
    EXPECT_EQ(block.videodiscStart[0], 0);
    EXPECT_EQ(block.movieSet, 0u);
}
