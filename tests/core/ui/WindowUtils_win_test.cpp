// Placing real windows: centring on the screen and over a parent or owner, and screen
// rectangles in client coordinates.
#include "core/ui/WindowUtils.h"

#include <gtest/gtest.h>

namespace {

constexpr char kClass[] = "WinutilPlainWindow";

void RegisterPlainClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);  // a second registration fails harmlessly
}

// A borderless window, so that its window and client rectangles coincide.
struct TestWindow {
    HWND hwnd;
    TestWindow(DWORD style, int x, int y, int w, int h, HWND parent = nullptr) {
        RegisterPlainClass();
        hwnd = CreateWindowExA(0, kClass, "", style, x, y, w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() {
        if (hwnd)
            DestroyWindow(hwnd);
    }
    RECT Rect() const {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    }
};

::testing::AssertionResult RectIs(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
    if (r.left == left && r.top == top && r.right == right && r.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom
                                         << "), expected (" << left << ", " << top << ", " << right << ", " << bottom
                                         << ")";
}

TEST(WindowUtilsWin, CenterWindowOnScreen) {
    TestWindow w(WS_POPUP, 3, 4, 200, 100);
    ASSERT_NE(w.hwnd, nullptr);
    CenterWindowOnScreen(w.hwnd);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - 200) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - 100) / 2;
    EXPECT_TRUE(RectIs(w.Rect(), x, y, x + 200, y + 100));
    CenterWindowOnScreen(nullptr);  // nothing to move
}

TEST(WindowUtilsWin, CenterWindowOnParentOrOwner) {
    TestWindow owner(WS_POPUP, 100, 50, 400, 300);
    ASSERT_NE(owner.hwnd, nullptr);

    // An owned pop-up (as a dialog is) is centred over its owner.
    TestWindow popup(WS_POPUP, 0, 0, 100, 61, owner.hwnd);
    ASSERT_NE(popup.hwnd, nullptr);
    CenterWindowOnParent(popup.hwnd);
    EXPECT_TRUE(RectIs(popup.Rect(), 250, 170, 350, 231));  // centre (300, 200), half sizes 50 and 30

    // A child window is placed in its parent's client coordinates.
    TestWindow child(WS_CHILD, 0, 0, 40, 20, owner.hwnd);
    ASSERT_NE(child.hwnd, nullptr);
    CenterWindowOnParent(child.hwnd);
    EXPECT_TRUE(RectIs(child.Rect(), 280, 190, 320, 210));

    // A window larger than its owner overhangs it evenly...
    TestWindow wide(WS_POPUP, 0, 0, 600, 200, owner.hwnd);
    CenterWindowOnParent(wide.hwnd);
    EXPECT_TRUE(RectIs(wide.Rect(), 0, 100, 600, 300));
    // ...as far as the screen's work area lets it: centred, it would begin 50 pixels above the screen.
    TestWindow large(WS_POPUP, 0, 0, 600, 500, owner.hwnd);
    CenterWindowOnParent(large.hwnd);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_EQ(work.top, 0);
    EXPECT_TRUE(RectIs(large.Rect(), 0, 0, 600, 500));
}

TEST(WindowUtilsWin, ScreenRectToClient) {
    TestWindow w(WS_POPUP, 100, 50, 300, 200);
    ASSERT_NE(w.hwnd, nullptr);
    RECT r = {110, 60, 150, 90};
    ScreenRectToClient(w.hwnd, &r);
    EXPECT_TRUE(RectIs(r, 10, 10, 50, 40));
    RECT above = {90, 40, 100, 50};
    ScreenRectToClient(w.hwnd, &above);
    EXPECT_TRUE(RectIs(above, -10, -10, 0, 0));
    ScreenRectToClient(w.hwnd, nullptr);  // nothing to convert
}

}  // namespace
