// The rectangle tracker: in the plug-in by messages on its card window (moving, resizing, arrow
// keys, a press outside that ends it and its drag loop), and through its hook alone without a
// preview and with a full hook stack.
#include "objects/ResizeTracking.h"

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "core/events/MessageLoops.h"
#include "core/events/MouseHooks.h"
#include "core/memory/Handles.h"
#include "layers/PaintGeometry.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectServices.h"
#include "stack/StackOpenSession.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

int g_completions = 0;

INT_PTR CALLBACK CountCompletion(HWND, UINT, WPARAM, LPARAM) {
    ++g_completions;
    return 0;
}

int Ignore(unsigned, HWND__*, int, int) { return 0; }

void Key(HWND window, UINT message, WPARAM key) {
    SendMessageA(window, message, key, 1);
    PumpPageMessages();
}

void CALLBACK PressOutside(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(110, 5));
}

HBITMAP SolidBitmap(HWND window, COLORREF color) {
    HDC dc = GetDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(color);
    const RECT all = {0, 0, 8, 8};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return bitmap;
}

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

class ResizeTrackingInPlugin : public LinkedPluginTest {};

// In the plug-in itself: the card window hands the tracker its mouse and arrow keys.
TEST_F(ResizeTrackingInPlugin, MovesResizesNudgesAndEndsByMessages) {
    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(120, 90, 8, 0));
        card.picture->palette = {{255, 255, 255}};
        card.objects.push_back(sb::ShapedButton(10 + id, {10, 10, 60, 40}, "Next", 2, 0, -1));
        stack.cards.push_back(card);
    }
    ASSERT_TRUE(Open(stack));
    const HWND embed = page.embed;
    UpdateWindow(embed);
    g_completions = 0;
    const COLORREF red = RGB(255, 0, 0);

    // Without a preview a press is not the tracker's: the button under it lights up.
    RECT rect = {5, 5, 65, 45};
    HBITMAP preview = nullptr;
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &preview, CountCompletion, nullptr, 0), 1);
    const COLORREF unlit = WindowPixel(embed, 15, 15);
    SendMouse(embed, WM_LBUTTONDOWN, 30, 25);
    EXPECT_NE(WindowPixel(embed, 15, 15), unlit) << "the button took the press";
    SendMouse(embed, WM_MOUSEMOVE, 100, 80);
    SendMouse(embed, WM_LBUTTONUP, 100, 80);
    EXPECT_EQ(GetCurrentCardId(), 1);
    preview = SolidBitmap(embed, red);
    SendMouse(embed, WM_LBUTTONDOWN, 100, 85);
    SendMouse(embed, WM_LBUTTONUP, 100, 85);
    EXPECT_EQ(g_completions, 1);
    EXPECT_EQ(preview, nullptr);

    // Move only: handle 1 dragged by (5, 5) moves the whole rectangle and its preview.
    rect = {20, 20, 60, 50};
    preview = SolidBitmap(embed, red);
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &preview, CountCompletion, nullptr, 1), 1);
    EXPECT_EQ(WindowPixel(embed, 30, 30), red) << "drawn at the start";
    DragThrough(embed, {{20, 20}, {25, 25}, {25, 25}});
    EXPECT_EQ(rect.left, 25);
    EXPECT_EQ(rect.top, 25);
    EXPECT_EQ(rect.right, 65);
    EXPECT_EQ(rect.bottom, 55);
    EXPECT_EQ(WindowPixel(embed, 62, 52), red);
    SendMouse(embed, WM_LBUTTONDOWN, 110, 85);
    SendMouse(embed, WM_LBUTTONUP, 110, 85);

    // Handle 5 by (10, 4) resizes it; the preview follows.
    preview = SolidBitmap(embed, red);
    ASSERT_EQ(BeginObjectResizeTracking(&rect, &preview, CountCompletion, nullptr, 0), 1);
    DragThrough(embed, {{65, 55}, {75, 59}, {75, 59}});
    EXPECT_EQ(rect.left, 25);
    EXPECT_EQ(rect.top, 25);
    EXPECT_EQ(rect.right, 75);
    EXPECT_EQ(rect.bottom, 59);
    EXPECT_EQ(WindowPixel(embed, 72, 57), red);

    // Arrows: one pixel, ten with Shift, a grid step snapped when snapping.
    const GridSettings grid = Grid();
    Grid() = GridSettings{1, 1, false, false};
    Key(embed, WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(rect.left, 26);
    EXPECT_EQ(rect.right, 76);
    Key(embed, WM_KEYDOWN, VK_SHIFT);
    Key(embed, WM_KEYDOWN, VK_DOWN);
    Key(embed, WM_KEYUP, VK_SHIFT);
    EXPECT_EQ(rect.top, 35);
    EXPECT_EQ(rect.bottom, 69);
    Grid() = GridSettings{8, 8, false, true};
    Key(embed, WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(rect.left, 16) << "26 less a step of 8, snapped";
    EXPECT_EQ(rect.right - rect.left, 50);
    Grid() = grid;

    // A press outside, posted once the drag loop runs, ends it and the loop returns.
    SetTimer(embed, 77, 10, PressOutside);
    RunHookMessageLoop(embed);
    EXPECT_EQ(g_completions, 3);
    EXPECT_EQ(preview, nullptr);
    EXPECT_FALSE(MouseHookActive());
    HWND tracked = embed;
    EXPECT_EQ(GetTrackState(nullptr, nullptr, nullptr, &tracked), 0);
    EXPECT_EQ(tracked, nullptr);
    EXPECT_EQ(NudgeTrackedRect(VK_RIGHT, false), 0);
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
