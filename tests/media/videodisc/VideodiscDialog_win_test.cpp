// "LaserPly" on the simulated player: the auto-seek of a typed frame, the speed and audio
// buttons, and what OK and Cancel leave in the action.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "core/events/MessageLoops.h"
#include "core/events/ModelessDialogs.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"
#include "media/videodisc/Videodisc.h"
#include "tests/media/videodisc/SimulatedVideodisc_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

constexpr int kStartEdit = 6, kEndEdit = 5, kAudio = 9, kSpeedUp = 10, kSpeedDown = 11, kSpeedLabel = 12,
              kPlayBack = 16, kViewer = 23;

class VideodiscDialog : public SimulatedVideodiscTest {};

// Types into an edit as the user would: focus first, then the text.
void Type(DialogView& box, int id, const char* text) {
    SetFocus(GetDlgItem(box.Window(), id));
    box.SetText(id, text);
}

// Lets the dialog's timer run for a while.
void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

TEST_F(VideodiscDialog, ATypedFrameSeeksAfterASecondAndTheButtonsKeepTheirBounds) {
    VideodiscCommandText start = MakeStartCommand("060", '3', 150), end = MakeEndCommand(150, 300, "FR");
    const VideodiscCommandText startBefore = start, endBefore = end;
    Rect32 rect{1, 2, 3, 4};
    uint16_t live = 7;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("LaserPly"), [&](DialogView& box) {
        EXPECT_EQ(box.Text(kStartEdit), "00150");
        EXPECT_EQ(box.Text(kEndEdit), "00300");
        EXPECT_FALSE(box.IsEnabled(kViewer)) << "modal: no viewer";
        Type(box, kStartEdit, "0420");
        Pump(1700);
        EXPECT_FALSE(Logged("seek 420")) << "four digits do not seek";
        Type(box, kStartEdit, "00420");
        Pump(1700);
        EXPECT_TRUE(Logged("seek 420"));

        for (int i = 0; i < 8; ++i)
            box.Press(kSpeedDown);
        Pump(100);
        EXPECT_EQ(box.Text(kSpeedLabel), " 2S ");
        for (int i = 0; i < 10; ++i)
            box.Press(kSpeedUp);
        Pump(100);
        EXPECT_EQ(box.Text(kSpeedLabel), " x3 ");
        // Away from normal speed the audio button does nothing.
        const std::string audio = box.Text(kAudio);
        box.Press(kAudio);
        Pump(100);
        EXPECT_EQ(box.Text(kAudio), audio);
        for (int i = 0; i < 2; ++i)
            box.Press(kSpeedDown);
        Pump(100);
        EXPECT_EQ(box.Text(kSpeedLabel), "Norm");
        // Playing backward: still nothing.
        box.Press(kPlayBack);
        Pump(100);
        const std::string backward = box.Text(kAudio);
        box.Press(kAudio);
        Pump(100);
        EXPECT_EQ(box.Text(kAudio), backward);
        box.Press(IDCANCEL);
    });
    EXPECT_FALSE(driver.Run([&] { return RunVideodiscDialog(nullptr, start, end, rect, true, 0, live); }));
    EXPECT_TRUE(start == startBefore && end == endBefore);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(live, 7);
}

TEST_F(VideodiscDialog, OkStoresTheFieldsAndNoViewerWithoutACaptureDriver) {
    VideodiscCommandText start = MakeStartCommand("060", '3', 150), end = MakeEndCommand(150, 300, "FR");
    Rect32 rect{};
    uint16_t live = 1;
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("LaserPly"), [&](DialogView& box) {
        EXPECT_FALSE(box.IsEnabled(kViewer)) << "no capture driver";
        box.SetText(kStartEdit, "500");  // read as a five-digit number
        box.SetText(kEndEdit, "00200");
        box.Press(IDOK);
    });
    EXPECT_TRUE(driver.Run([&] { return RunVideodiscDialog(nullptr, start, end, rect, true, kVdDialogModeless, live); }));
    EXPECT_EQ(live, 1) << "the stored live video is kept where it could not be shown";
    EXPECT_EQ(start[0], 17);
    EXPECT_EQ(std::string(CommandText(start).substr(0, 16)), "060SP3AD00500SE\r");
    EXPECT_EQ(std::string(CommandText(end).substr(0, 14)), std::string("00200SMMR\r\x03" "FR\r"));
}

}  // namespace

namespace {

std::vector<POINT> g_cardPresses;

LRESULT CALLBACK CardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN)
        g_cardPresses.push_back({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    return DefWindowProcA(window, message, wParam, lParam);
}

// A card window of 400 x 300 at (100, 100) that counts its presses, a capture driver found.
class VideodiscDialogModeless : public VideodiscDialog {
protected:
    void SetUp() override {
        VideodiscDialog::SetUp();
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
        WNDCLASSA wc{};
        wc.lpfnWndProc = CardProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LaserPlyTestCard";
        RegisterClassA(&wc);
        card = CreateWindowA("LaserPlyTestCard", "", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                             wc.hInstance, nullptr);
        ASSERT_NE(card, nullptr);
        g_cardPresses.clear();
    }
    void TearDown() override {
        if (IsWindow(card))
            DestroyWindow(card);
        UnregisterClassA("LaserPlyTestCard", GetModuleHandleA(nullptr));
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
        VideodiscDialog::TearDown();
    }
    HWND card = nullptr;
    VideodiscCommandText start{}, end{};
    Rect32 rect{};
    uint16_t live = 0;
};

TEST_F(VideodiscDialogModeless, AClickInTheViewerReachesTheCardWindow) {
    HWND viewer = nullptr;
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("LaserPly"), [&](DialogView& box) {
        ASSERT_TRUE(box.IsEnabled(kViewer));
        box.SetChecked(kViewer, true);
        viewer = FindWindowExA(card, nullptr, "LoomCaptureStandIn", nullptr);
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(IsWindowVisible(viewer));
        EXPECT_EQ(GetVideodiscDialogSettings()->state.flags & kVdModeless, kVdModeless);
        // The viewer lies over the middle half of the card: a click at the card's (200, 150).
        SendScreenMouse({300, 250}, MOUSEEVENTF_LEFTDOWN);
        SendScreenMouse({300, 250}, MOUSEEVENTF_LEFTUP);
    });
    driver.Expect(DialogMatch::Template("LaserPly"), [&](DialogView& box) { box.Press(IDOK); });
    EXPECT_TRUE(driver.Run([&] { return RunVideodiscDialog(card, start, end, rect, false, kVdDialogModeless, live); }));
    EXPECT_EQ(live, 1);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 75);
    EXPECT_EQ(rect.right, 300);
    EXPECT_EQ(rect.bottom, 225);
    ASSERT_EQ(g_cardPresses.size(), 1u);
    EXPECT_EQ(g_cardPresses[0].x, 200);
    EXPECT_EQ(g_cardPresses[0].y, 150);
    EXPECT_FALSE(IsWindow(viewer)) << "the viewer goes with the dialog";
    const RECT clickRect = VideoClickRect();
    EXPECT_TRUE(IsRectEmpty(&clickRect)) << "presses where the viewer was are the card's own again";
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, card, WM_LBUTTONDOWN, 200, 150), 0);
    EXPECT_EQ(MouseToParentWindow(), nullptr);
    EXPECT_FALSE(MouseHookActive());
    EXPECT_EQ(ModelessDialogCount(), 0);
}

// The card window going while the dialog runs takes the dialog with it, and nothing of the
// modeless run stays behind for the next.
TEST_F(VideodiscDialogModeless, ClosedWithItsCardLeavesNothingBehind) {
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("LaserPly"), [&](DialogView& box) {
        box.SetChecked(kViewer, true);
        EXPECT_NE(MouseToParentWindow(), nullptr);
        EXPECT_TRUE(MouseHookActive());
        DestroyWindow(card);
    });
    EXPECT_FALSE(driver.Run([&] { return RunVideodiscDialog(card, start, end, rect, false, kVdDialogModeless, live); }));
    EXPECT_EQ(GetVideodiscDialogSettings(), nullptr);
    EXPECT_EQ(MouseToParentWindow(), nullptr);
    EXPECT_FALSE(MouseHookActive());
    EXPECT_EQ(ModelessDialogCount(), 0);
    EXPECT_EQ(live, 0) << "no OK: the action keeps its flag";
}

}  // namespace
