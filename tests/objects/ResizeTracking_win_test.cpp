// The rectangle tracker through its hook, as the card window hands it mouse messages: moving,
// resizing, arrow keys, a press outside that ends it, and a full hook stack that refuses it.
#include "objects/ResizeTracking.h"

#include <gtest/gtest.h>

#include "core/events/MessageLoops.h"
#include "core/events/MouseHooks.h"
#include "core/memory/Handles.h"
#include "graphics/layers/PaintGeometry.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectServices.h"

namespace {

int g_completions = 0;

INT_PTR CALLBACK CountCompletion(HWND, UINT, WPARAM, LPARAM) {
    ++g_completions;
    return 0;
}

int Ignore(unsigned, HWND__*, int, int) { return 0; }

class ResizeTrackingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(window_, nullptr);
        ASSERT_EQ(InitDataBase(window_, 200, 150, 24, false), 1);
        ClearMouseHooks();
        g_completions = 0;
        grid_ = Grid();
    }
    void TearDown() override {
        Grid() = grid_;
        ClearMouseHooks();
        FreeOffscreenObjects();
        DestroyWindow(window_);
        FreeMemRefs();
    }
    HBITMAP Preview() {
        HDC dc = GetDC(window_);
        HBITMAP b = CreateCompatibleBitmap(dc, 8, 8);
        ReleaseDC(window_, dc);
        return b;
    }
    int Send(unsigned message, int x, int y) { return CallMouseHook(message, window_, x, y); }
    HWND window_ = nullptr;
    GridSettings grid_;
};

TEST_F(ResizeTrackingTest, MovesResizesNudgesAndEnds) {
    RECT rect = {20, 20, 60, 50};
    HBITMAP preview = Preview();
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &preview, CountCompletion, nullptr, 1), 1);
    HWND tracked = nullptr;
    EXPECT_NE(GetTrackState(nullptr, nullptr, nullptr, &tracked), 0);
    EXPECT_EQ(tracked, GetCardWindow());
    int status = 0;
    EXPECT_EQ(ReadTrackState(nullptr, nullptr, nullptr, &status), 1) << "idle";
    EXPECT_EQ(status, 1);

    // Move only: the top-left handle drags the whole rectangle.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 20, 20), 1);
    EXPECT_EQ(ReadTrackState(nullptr, nullptr, nullptr, nullptr), 0) << "held";
    EXPECT_EQ(Send(WM_MOUSEMOVE, 25, 25), 1);
    EXPECT_EQ(Send(WM_LBUTTONUP, 25, 25), 1);
    EXPECT_EQ(rect.left, 25);
    EXPECT_EQ(rect.top, 25);
    EXPECT_EQ(rect.right, 65);
    EXPECT_EQ(rect.bottom, 55);
    EXPECT_EQ(Send(WM_LBUTTONUP, 25, 25), 0) << "no drag to end";

    EXPECT_EQ(Send(WM_LBUTTONDOWN, 190, 140), 1);
    EXPECT_EQ(g_completions, 1);

    // Resizing: handle 5 (bottom-right) by (10, 4).
    const int resize = 5;
    preview = Preview();
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &preview, CountCompletion, nullptr, 0), 1);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 65, 55), 1);
    int handle = 0;
    ReadTrackState(nullptr, nullptr, &handle, nullptr);
    EXPECT_EQ(handle, resize);
    Send(WM_MOUSEMOVE, 75, 59);
    Send(WM_LBUTTONUP, 75, 59);
    EXPECT_EQ(rect.left, 25);
    EXPECT_EQ(rect.right, 75);
    EXPECT_EQ(rect.bottom, 59);

    // Arrows: one step, ten with the flag, grid steps when snapping.
    Grid() = GridSettings{1, 1, false, false};
    EXPECT_EQ(NudgeTrackedRect(VK_RIGHT, false), 1);
    EXPECT_EQ(rect.left, 26);
    EXPECT_EQ(NudgeTrackedRect(VK_DOWN, true), 1);
    EXPECT_EQ(rect.top, 35);
    Grid() = GridSettings{8, 8, false, true};
    NudgeTrackedRect(VK_LEFT, false);
    EXPECT_EQ(rect.left % 8, 0);

    // A press outside ends it: hook gone, preview deleted and cleared, completion once.
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 190, 140), 1);
    EXPECT_FALSE(MouseHookActive());
    EXPECT_EQ(preview, nullptr);
    EXPECT_EQ(g_completions, 2);
    EXPECT_EQ(GetTrackState(nullptr, nullptr, nullptr, &tracked), 0);
    EXPECT_EQ(tracked, nullptr);
    EXPECT_EQ(NudgeTrackedRect(VK_RIGHT, false), 0);
    RunHookMessageLoop(window_);  // returns at once: nothing is tracked
}

TEST_F(ResizeTrackingTest, NoPreviewAndAFullHookStack) {
    RECT rect = {20, 20, 60, 50};
    HBITMAP none = nullptr;
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &none, nullptr, nullptr, 0), 1);
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 30, 30), 0) << "without a preview nothing is consumed";
    none = Preview();  // the caller's variable, which the tracker reads
    EXPECT_EQ(Send(WM_LBUTTONDOWN, 150, 140), 1) << "no completion: just ends";
    EXPECT_EQ(g_completions, 0);
    EXPECT_EQ(none, nullptr);
    EXPECT_FALSE(MouseHookActive());

    for (int i = 0; i <= kSavedMouseHooks; ++i)
        ASSERT_EQ(PushMouseHook(Ignore), 1);
    HBITMAP refused = Preview();
    EXPECT_EQ(BeginObjectResizeTracking(&rect, &refused, CountCompletion, nullptr, 0), 0);
    int status = 1;
    ReadTrackState(nullptr, nullptr, nullptr, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(GetTrackState(nullptr, nullptr, nullptr, nullptr), 0);
    DeleteObject(refused);
}

}  // namespace
