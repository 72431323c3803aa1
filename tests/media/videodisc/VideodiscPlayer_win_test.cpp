// Videodisc actions on the simulated player (tools/vdplayer): what reaches MCI, read from the
// player's own log, and the alerts when it is missing.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "media/MediaManager.h"
#include "media/videodisc/Videodisc.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/media/videodisc/SimulatedVideodisc_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

std::vector<uint8_t> Chunk(uint32_t start, uint32_t end, uint16_t flags = 0, const char* unit = "FR") {
    std::vector<uint8_t> c(kChunkHeaderBytes + 2 * kVdCommandBytes, 0);
    c[0] = kTagVideodisc;
    c[kChunkSoundFlags] = static_cast<uint8_t>(flags);
    const VideodiscCommandText s = MakeStartCommand("060", '3', start), e = MakeEndCommand(start, end, unit);
    std::copy(s.begin(), s.end(), c.begin() + kChunkHeaderBytes);
    std::copy(e.begin(), e.end(), c.begin() + kChunkHeaderBytes + kVdCommandBytes);
    return c;
}

class VideodiscPlayer : public SimulatedVideodiscTest {};

std::string Join(const std::vector<std::string>& lines) {
    std::ostringstream out;
    for (const std::string& l : lines)
        out << l << " | ";
    return out.str();
}

TEST_F(VideodiscPlayer, ASegmentSeeksThenPlaysAndTheNextUseSettlesThePlayer) {
    EXPECT_EQ(OpenVideodiscPlayer(), 0);  // no player state yet
    ASSERT_EQ(DoVideodiscAction(nullptr, Chunk(150, 300)), 0);
    const std::vector<std::string> lines = Log();
    ASSERT_GE(lines.size(), 3u) << Join(lines);
    EXPECT_EQ(lines[0], "open") << Join(lines);
    EXPECT_EQ(lines[1], "keylock off") << Join(lines);
    EXPECT_TRUE(Logged("set time format frames")) << Join(lines);
    EXPECT_TRUE(Logged("set audio all on")) << Join(lines);
    EXPECT_TRUE(Logged("seek 150")) << Join(lines);
    EXPECT_EQ(lines.back(), "play to 300 speed 30") << Join(lines);
    ASSERT_NE(VideodiscPlayerState(), nullptr);
    EXPECT_TRUE(VideodiscPlayerState()->flags & kVdNeedsInit);

    // Before the next use the player is read and paused (code 8 on a CAV disc).
    ClearLog();
    EXPECT_EQ(OpenVideodiscPlayer(), 0);
    EXPECT_EQ(Log(), std::vector<std::string>{"pause"});
    std::ifstream raw(log_);
    std::string first;
    std::getline(raw, first);
    EXPECT_EQ(first, "status " + std::to_string(MCI_STATUS_MODE) + " = " + std::to_string(MCI_MODE_PLAY))
        << "the mode is read first";
    EXPECT_FALSE(VideodiscPlayerState()->flags & kVdNeedsInit);

    // Equal frames: the player searches and stays there.
    ClearLog();
    ASSERT_EQ(DoVideodiscAction(nullptr, Chunk(500, 500)), 0);
    EXPECT_TRUE(Logged("seek 500")) << Join(Log());
    for (const std::string& l : Log())
        EXPECT_EQ(l.rfind("play", 0), std::string::npos) << l;

    // Start above end plays in reverse.
    ClearLog();
    ASSERT_EQ(DoVideodiscAction(nullptr, Chunk(400, 100)), 0);
    EXPECT_TRUE(Logged("play to 100 speed 30 reverse")) << Join(Log());
}

TEST_F(VideodiscPlayer, ClvFramesAreTimes) {
    SetEnvironmentVariableA("LOOM_VIDEODISC", "clv");
    ASSERT_EQ(DoVideodiscAction(nullptr, Chunk(12345, 12400, 0, "TM")), 0);
    const uint32_t hms = 1u | 23u << 8 | 45u << 16;
    EXPECT_TRUE(Logged("set time format hms")) << Join(Log());
    EXPECT_TRUE(Logged("seek " + std::to_string(hms))) << Join(Log());
    ClearLog();
    EXPECT_EQ(OpenVideodiscPlayer(), 0);  // code 7 on a CLV disc
    EXPECT_EQ(Log(), std::vector<std::string>{"pause"});
}

TEST_F(VideodiscPlayer, AMissingPlayerAsksAndContinueWorksOnWithoutIt) {
    SetEnvironmentVariableA("LOOM_VIDEODISC", "notready");
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(kAlertNoVideodiscPlayer), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Try Again", "Continue", "Cancel"}));
        SetEnvironmentVariableA("LOOM_VIDEODISC", "cav");  // the player is switched on
        box.Press(kAlertButton1);
    });
    EXPECT_EQ(driver.Run([] { return DoVideodiscAction(nullptr, Chunk(10, 20)); }), 0);
    EXPECT_TRUE(Logged("play to 20 speed 30")) << Join(Log());

    // Cancel: the action fails with the alert of a failed start.
    CloseVideodiscPlayer();
    ClearVideodiscState();
    SetEnvironmentVariableA("LOOM_VIDEODISC", "notready");
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Alert(kAlertNoVideodiscPlayer), [](DialogView& box) { box.Press(kAlertButton3); });
    EXPECT_NE(cancel.Run([] { return DoVideodiscAction(nullptr, Chunk(10, 20)); }), 0);

    // Continue: no player from now on; actions reach no MCI call and succeed.
    CloseVideodiscPlayer();
    ClearVideodiscState();
    DialogDriver goOn;
    goOn.Expect(DialogMatch::Alert(kAlertNoVideodiscPlayer), [](DialogView& box) { box.Press(kAlertButton2); });
    EXPECT_EQ(goOn.Run([] { return DoVideodiscAction(nullptr, Chunk(10, 20)); }), 0);
    ASSERT_NE(VideodiscPlayerState(), nullptr);
    EXPECT_TRUE(VideodiscPlayerState()->flags & kVdNoPlayer);
    ClearLog();
    DialogDriver none;
    EXPECT_EQ(none.Run([] { return DoVideodiscAction(nullptr, Chunk(30, 40)); }), 0);
    EXPECT_EQ(none.DialogsSeen(), 0);
    EXPECT_TRUE(Log().empty()) << Join(Log());
}

TEST_F(VideodiscPlayer, AClickInTheLiveVideoRectangleIsPostedOnceWithACaptureDriver) {
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    std::vector<uint8_t> chunk = Chunk(1, 2, kVdActionLiveVideo);
    // Rectangle (10, 10)-(50, 50).
    for (int i = 0; i < 4; ++i)
        chunk[kObjectRect + 2 * i] = static_cast<uint8_t>(i < 2 ? 10 : 50);
    ASSERT_EQ(DoVideodiscAction(window, chunk), 0);
    EXPECT_EQ(IsInVideoClickRect(0, window, WM_LBUTTONDOWN, 20, 20), 0);  // no capture driver
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, window, WM_LBUTTONUP, 20, 20), 0);
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, window, WM_LBUTTONDOWN, 90, 90), 0);
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, window, WM_LBUTTONDOWN, 20, 20), 1);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.lParam, MAKELPARAM(20, 20));
    // A second press at the same pixel is posted too, not swallowed.
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, window, WM_LBUTTONDOWN, 20, 20), 1);
    ASSERT_TRUE(PeekMessageA(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.lParam, MAKELPARAM(20, 20));
    CloseCaptureWindow();  // empties the rectangle
    EXPECT_EQ(IsInVideoClickRect(kMediaCaptureDriver, window, WM_LBUTTONDOWN, 20, 20), 0);
    DestroyWindow(window);
}

namespace sb = stackbuilder;

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        PumpPageMessages();
        Sleep(10);
    }
}

// In the hosted plug-in, a press on the live video (a child of the card window) reaches the card
// window once: there it runs the card's click action, a segment of its own on the player.
TEST_F(VideodiscPlayer, InThePluginAPressOnTheLiveVideoReachesTheCardOnce) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");  // read when the card window is made
    sb::Stack stack;
    stack.cardWidth = 320;
    stack.cardHeight = 240;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(320, 240, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    constexpr uint16_t kClickAction = 128;
    card.actions[2] = kClickAction;
    sb::Object clickAction;
    clickAction.words.push_back({20, 0x4000});
    sb::Chunk seek;
    seek.kind = kTagVideodisc;
    const VideodiscCommandText start = MakeStartCommand("060", '3', 700), end = MakeEndCommand(700, 700, "FR");
    seek.payload.assign(start.begin(), start.end());
    seek.payload.insert(seek.payload.end(), end.begin(), end.end());
    clickAction.chunks.push_back(seek);
    stack.cards.push_back(card);
    stack.resources.push_back({"Actn", kClickAction, "", 0, 0, sb::ActionRecord(clickAction)});
    stack.nextResourceId = kClickAction + 1;
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "disc-" + ProcessTag() + ".stk", &page));
    const HWND cardWindow = GetCardWindow();
    ASSERT_NE(cardWindow, nullptr);

    // A segment with live video over (80, 60)-(240, 180).
    std::vector<uint8_t> chunk = Chunk(150, 300, 1);
    const int16_t rect[4] = {80, 60, 240, 180};  // as the block holds it: left, top, right, bottom
    std::memcpy(chunk.data() + kObjectRect, rect, sizeof rect);
    ASSERT_EQ(DoVideodiscAction(cardWindow, chunk), 0);
    const HWND video = ChildWindowFromPoint(cardWindow, POINT{160, 120});
    ASSERT_NE(video, cardWindow) << "the live video shows over the rectangle";
    ASSERT_TRUE(IsWindowVisible(video));

    ClearLog();
    SetForegroundWindow(page.page);
    POINT at{160, 120};
    ClientToScreen(cardWindow, &at);
    SendScreenMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendScreenMouse(at, MOUSEEVENTF_LEFTUP);
    PumpFor(600);
    const std::vector<std::string> lines = Log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("seek 700")), 1) << Join(lines);

    CloseLinkedPlugin(&page);
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
}

}  // namespace
