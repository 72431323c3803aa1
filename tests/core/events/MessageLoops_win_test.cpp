// The system's own message loops: a waiting step that leaves stop messages queued and never
// hands a message to a modeless dialog twice, the modeless loop, and the loop feeding the mouse
// hook.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/events/MessageLoops.h"
#include "core/events/ModelessDialogs.h"
#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"

namespace {

int g_editChars = 0;
WNDPROC g_editProc = nullptr;
LRESULT CALLBACK CountingEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_editChars += message == WM_CHAR;
    return CallWindowProcA(g_editProc, window, message, wParam, lParam);
}

INT_PTR CALLBACK ClosingDialog(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE)
        DestroyWindow(dialog);
    return message == WM_INITDIALOG || message == WM_CLOSE;
}

std::vector<std::string> g_hookCalls;
int RecordingHook(unsigned message, HWND__*, int x, int y) {
    g_hookCalls.push_back(std::to_string(message) + ":" + std::to_string(x) + "," + std::to_string(y));
    return message != WM_LBUTTONUP;  // a button-up goes on to the window as well
}

int g_listedDuring = -1;
void CALLBACK LaterMessages(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    g_listedDuring = ModelessDialogCount();
    if (g_listedDuring)
        PostMessageA(static_cast<HWND>(ModelessDialogAt(0)), WM_CLOSE, 0, 0);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(13, 35));  // no rectangle tracked
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(0xFFFE, 40));        // x of -2
    PostMessageA(window, WM_CHAR, VK_RETURN, 0);
    PostMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(9, 9));
}

class MessageLoopsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        window_ = CreateWindowExA(0, "STATIC", "card", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        SetMainWindow(window_);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        ClearModelessDialogs();
    }
    void TearDown() override {
        ClearModelessDialogs();
        ClearMouseHooks();
        SetMainWindow(nullptr);
        DestroyWindow(window_);
    }
    HWND window_ = nullptr;
};

TEST_F(MessageLoopsTest, WaitingLeavesStopMessagesAndGivesDialogMessagesOnce) {
    EXPECT_EQ(WaitWithMessages(), 0);
    PostMessageA(window_, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(WaitWithMessages(), WM_LBUTTONDOWN);
    EXPECT_EQ(WaitWithMessages(), WM_LBUTTONDOWN);  // still queued for the caller
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));

    const HWND dialog = ResCreateDialog(window_, ClosingDialog, "JUMP_TO_CARD");
    ASSERT_TRUE(dialog);
    const HWND edit = GetDlgItem(dialog, 300);
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingEdit)));
    ASSERT_TRUE(AddModelessDialog(dialog));
    static int others[kMaxModelessDialogs];  // not windows: passed over
    for (int& other : others)
        AddModelessDialog(&other);
    EXPECT_EQ(ModelessDialogCount(), kMaxModelessDialogs);  // the 21st is refused
    RemoveModelessDialog(&others[0]);
    EXPECT_EQ(ModelessDialogAt(1), &others[1]);  // the gap is closed
    g_editChars = 0;
    PostMessageA(edit, WM_CHAR, 'x', 1);
    PostMessageA(edit, WM_CHAR, 'y', 1);
    for (int steps = 0; WaitWithMessages() != 0 && steps < 50; ++steps) {
    }
    EXPECT_EQ(g_editChars, 2);
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "xy");
    DestroyWindow(dialog);
}

TEST_F(MessageLoopsTest, ModelessLoopAndKeyLoop) {
    const HWND dialog = ResCreateDialog(window_, ClosingDialog, "JUMP_TO_CARD");
    SetTimer(window_, 7, 10, LaterMessages);
    RunModelessLoop(dialog);  // listed until the dialog is gone
    EXPECT_EQ(g_listedDuring, 1);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ModelessDialogCount(), 0);

    // Mouse messages queued before the key loop are dropped; then the hook gets the button
    // messages (moves only while a rectangle is tracked) until Enter.
    g_hookCalls.clear();
    ASSERT_EQ(PushMouseHook(RecordingHook), 1);
    RunHookMessageLoopUntilKey(window_);
    SetTimer(window_, 8, 10, LaterMessages);
    RunHookMessageLoopUntilKey(window_);
    EXPECT_EQ(g_hookCalls, (std::vector<std::string>{"513:12,34", "514:-2,40"}));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));  // after Enter
    EXPECT_EQ(msg.lParam, MAKELPARAM(9, 9));
}

}  // namespace
