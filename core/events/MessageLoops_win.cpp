// The system's own message loops.
#include "core/events/MessageLoops.h"

#include "core/CoreUpcalls.h"
#include "core/events/EditorGuard.h"
#include "core/events/ModelessDialogs.h"
#include "core/events/MouseHooks.h"
#include "core/events/OneShotTimers.h"
#include "core/ui/dialogs/DialogOwner.h"

namespace {

constexpr UINT kStopWaitingMessage = 32766;
constexpr int kOffCardPoint = 10000;

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK; }

// The dialog whose IsDialogMessage would take a message: the message is for it or a child.
HWND ModelessDialogFor(const MSG& msg) {
    for (int i = 0; i < ModelessDialogCount(); ++i) {
        const HWND dialog = static_cast<HWND>(ModelessDialogAt(i));
        if (IsWindow(dialog) && msg.hwnd && (msg.hwnd == dialog || IsChild(dialog, msg.hwnd)))
            return dialog;
    }
    return nullptr;
}

bool IsMenuClick(const MSG& msg) {
    return msg.message == WM_NCLBUTTONDOWN && (msg.wParam == HTMENU || msg.wParam == HTSYSMENU);
}

void Dispatch(MSG& msg) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

HWND TrackedWindow() { return static_cast<HWND>(GetCoreUpcalls().trackedWindow()); }

int HookX(LPARAM lParam) { return static_cast<short>(LOWORD(lParam)); }
int HookY(LPARAM lParam) { return static_cast<short>(HIWORD(lParam)); }

// A left-button message of the window for the hook; true when the hook consumed it.
bool GiveToHook(const MSG& msg, HWND window, bool movesToo) {
    if (msg.hwnd != window)
        return false;
    if (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP || (movesToo && msg.message == WM_MOUSEMOVE))
        return CallMouseHook(msg.message, window, HookX(msg.lParam), HookY(msg.lParam)) != 0;
    return false;
}

HWND g_mouseToParent = nullptr;

// Mouse messages of the window set by SetMouseToParentWindow go to its parent, at the point in
// the parent's client area.
void RedirectMouseToParent(MSG& msg) {
    if (!g_mouseToParent || msg.hwnd != g_mouseToParent || !IsMouseMessage(msg.message))
        return;
    const HWND parent = GetParent(msg.hwnd);
    if (!parent)
        return;
    POINT point{HookX(msg.lParam), HookY(msg.lParam)};
    MapWindowPoints(msg.hwnd, parent, &point, 1);
    msg.hwnd = parent;
    msg.lParam = MAKELPARAM(point.x, point.y);
}

// Takes the next message; false (and the quit posted again for the loop outside) on quit.
bool NextMessage(MSG& msg) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got > 0)
        return true;
    if (got == 0)
        PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
}

}  // namespace

LRESULT WaitWithMessages() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        return 0;
    if (const HWND dialog = ModelessDialogFor(msg)) {
        // Taken out of the queue before the dialog sees it, so that no later step handles it again.
        MSG taken;
        if (PeekMessageA(&taken, msg.hwnd, msg.message, msg.message, PM_REMOVE)) {
            if (!IsDialogMessageA(dialog, &taken))
                Dispatch(taken);
            return 1;
        }
    }
    GetCoreUpcalls().stepFrameAnimations();
    TimerListTick(GetTickCount());
    GetCoreUpcalls().stepAnimationsAndMedia();
    if (IsMouseMessage(msg.message) || msg.message == kStopWaitingMessage || msg.message == WM_KEYDOWN ||
        msg.message == WM_NCLBUTTONDOWN || msg.message == WM_QUIT)
        return msg.message;
    MSG taken;
    if (!PeekMessageA(&taken, msg.hwnd, msg.message, msg.message, PM_REMOVE))
        return 0;
    TranslateMessage(&taken);
    return DispatchMessageA(&taken);
}

void RunModelessLoop(HWND dialog) {
    if (!dialog || !IsWindow(dialog))
        return;
    const bool listed = AddModelessDialog(dialog);
    ShowWindow(dialog, SW_SHOW);
    const RunningDialogScope running(dialog);
    MSG msg;
    while (IsWindow(dialog) && NextMessage(msg)) {
        RedirectMouseToParent(msg);
        // A dialog the full list refused still gets its own keyboard navigation.
        if (OfferToModelessDialogs(&msg) || (!listed && IsDialogMessageA(dialog, &msg)))
            continue;
        if (IsMenuClick(msg))
            continue;
        Dispatch(msg);
    }
    if (listed)
        RemoveModelessDialog(dialog);
}

namespace {

// The two hook loops: the drag loop runs while a rectangle is tracked and turns Enter into a
// button-up off the card; the key loop runs while a hook is installed and ends on Esc or Enter.
void RunHookLoop(HWND window, bool untilKey) {
    if (!window || !IsWindow(window))
        return;
    const EditorGuard guard;  // the rectangle tracked is on this card
    MSG msg;
    while (PeekMessageA(&msg, window, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
    while ((untilKey ? MouseHookActive() : TrackedWindow() != nullptr) && !IsPageLeaving() && NextMessage(msg)) {
        if (!untilKey)
            RedirectMouseToParent(msg);
        if (OfferToModelessDialogs(&msg) || IsMenuClick(msg))
            continue;
        const bool enter = msg.message == WM_CHAR && msg.wParam == VK_RETURN;
        if (untilKey && (enter || (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE)))
            break;
        if (!untilKey && enter && msg.hwnd == window) {
            CallMouseHook(WM_LBUTTONUP, window, kOffCardPoint, kOffCardPoint);
            continue;
        }
        if (!GiveToHook(msg, window, !untilKey || TrackedWindow() != nullptr))
            Dispatch(msg);
    }
    // The page went: a tracked rectangle ends as a release off the card ends it, so its tracker
    // lets go of what it holds before the caller goes on.
    if (IsPageLeaving() && !untilKey && TrackedWindow() != nullptr && IsWindow(window))
        CallMouseHook(WM_LBUTTONUP, window, kOffCardPoint, kOffCardPoint);
}

}  // namespace

void RunHookMessageLoop(HWND window) { RunHookLoop(window, false); }

void RunHookMessageLoopUntilKey(HWND window) { RunHookLoop(window, true); }

void SetMouseToParentWindow(HWND window) { g_mouseToParent = window; }

HWND MouseToParentWindow() { return g_mouseToParent; }
