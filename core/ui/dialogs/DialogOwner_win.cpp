// Owners, places and the list of running dialogs (DialogOwner.h).
#include "core/ui/dialogs/DialogOwner.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "core/memory/ShortRect.h"
#include "core/system/PluginModule.h"

namespace {

constexpr const char* kHookProperty = "LoomDialogHook";

// What the shared procedure keeps for one dialog.
struct DialogHook {
    DLGPROC proc = nullptr;
    bool modal = false;
    bool child = false;  // a pane inside another window: neither owned nor placed here
};

// What the shared procedure keeps between dialogs.
struct DialogState {
    // The record of the dialog being made. Its first message binds it to the window: messages
    // (WM_SETFONT first) reach the procedure before CreateDialog returns.
    DialogHook* making = nullptr;
    // Modal dialogs from their WM_INITDIALOG to their end, and scoped modeless ones; oldest first.
    std::vector<HWND> running;
    // The hook that places the next system message box (OwnedMessageBox).
    HHOOK boxHook = nullptr;
    // The page is going away under a dialog or menu of the plug-in: none opens any more.
    bool pageLeaving = false;
};
DialogState g_dialogs;

HWND CardWindow() {
    HWND card = GetCardWindow();
    if (!card || !IsWindow(card))
        card = GetMainWindow();
    return card && IsWindow(card) ? card : nullptr;
}

HWND TopRunningDialog() {
    for (auto it = g_dialogs.running.rbegin(); it != g_dialogs.running.rend(); ++it)
        if (IsWindow(*it) && IsWindowVisible(*it))
            return *it;
    return nullptr;
}

bool OfThisThread(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

// Whether the template makes a child window (a pane of another dialog), read from its style.
bool IsChildTemplate(HMODULE module, const char* templateName) {
    HRSRC found = FindResourceA(module, templateName, MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!bytes || size < 16)
        return false;
    // An extended template starts with version 1 and 0xFFFF; its style follows help id and
    // extended style. A plain one starts with its style.
    const bool extended = bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    DWORD style = 0;
    std::memcpy(&style, bytes + (extended ? 12 : 0), sizeof style);
    return (style & WS_CHILD) != 0;
}

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* hook = static_cast<DialogHook*>(GetPropA(dialog, kHookProperty));
    if (!hook) {
        hook = std::exchange(g_dialogs.making, nullptr);
        if (!hook)
            return FALSE;
        SetPropA(dialog, kHookProperty, hook);
    }
    switch (message) {
    case WM_INITDIALOG: {
        if (hook->modal && !hook->child)
            g_dialogs.running.push_back(dialog);
        const INT_PTR result = hook->proc(dialog, message, wParam, lParam);
        if (hook->child)
            return result;
        if (hook->modal)
            PlaceOverCard(dialog);
        else
            SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return result;
    }
    case WM_NCDESTROY: {
        const INT_PTR result = hook->proc(dialog, message, wParam, lParam);
        std::erase(g_dialogs.running, dialog);
        RemovePropA(dialog, kHookProperty);
        if (!hook->modal)
            delete hook;
        return result;
    }
    default:
        return hook->proc(dialog, message, wParam, lParam);
    }
}

// The system's message box is placed when it is first activated, its size then known.
LRESULT CALLBACK PlaceBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    const HHOOK hook = g_dialogs.boxHook;
    if (code == HCBT_ACTIVATE) {
        UnhookWindowsHookEx(std::exchange(g_dialogs.boxHook, nullptr));
        PlaceOverCard(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// Whether the window is owned, directly or through its owners, by `root`.
bool OwnedBy(HWND window, HWND root) {
    for (HWND owner = GetWindow(window, GW_OWNER); owner; owner = GetWindow(owner, GW_OWNER))
        if (owner == root)
            return true;
    return false;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

}  // namespace

void SetPageLeaving(bool leaving) {
    g_dialogs.pageLeaving = leaving;
    if (!leaving)
        return;
    EndMenu();
    const HWND card = CardWindow();
    const HWND root = card ? GetAncestor(card, GA_ROOT) : nullptr;
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    // Every dialog of the page (the plug-in's own, the system's file and message boxes it runs)
    // ends as its Cancel would end it; the newest first.
    for (HWND window : windows) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        const bool listed = std::find(g_dialogs.running.begin(), g_dialogs.running.end(), window) != g_dialogs.running.end();
        if (std::strcmp(name, "#32770") == 0 && (listed || (root && OwnedBy(window, root))))
            EndDialog(window, IDCANCEL);
    }
}

HWND DialogOwner(HWND asked) {
    const HWND card = CardWindow();
    const HWND cardRoot = card ? GetAncestor(card, GA_ROOT) : nullptr;
    const HWND root = asked && IsWindow(asked) ? GetAncestor(asked, GA_ROOT) : nullptr;
    // A window of its own the caller runs, shown and taking input: a dialog, a palette.
    if (root && root != cardRoot && OfThisThread(root) && IsWindowVisible(root) && IsWindowEnabled(root))
        return root;
    if (HWND top = TopRunningDialog())
        return top;
    return cardRoot ? cardRoot : root;
}

bool DialogRuns() { return TopRunningDialog() != nullptr; }

bool IsPageLeaving() { return g_dialogs.pageLeaving; }

void PlaceOverCard(HWND window) {
    RECT own{}, over{};
    if (!window || !GetWindowRect(window, &own))
        return;
    const HWND card = CardWindow();
    const HWND owner = GetWindow(window, GW_OWNER);
    if (!(card && IsWindowVisible(card) && GetWindowRect(card, &over)) && !(owner && GetWindowRect(owner, &over)))
        GetWindowRect(GetDesktopWindow(), &over);
    RECT placed{};
    CenterRectInRect(own, over, &placed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&placed, MONITOR_DEFAULTTONEAREST), &monitor))
        MoveRectInside(&placed, monitor.rcWork);
    SetWindowPos(window, HWND_TOP, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

int OwnedMessageBox(HWND asked, const char* text, const char* caption, UINT type) {
    if (g_dialogs.pageLeaving)
        return IDCANCEL;
    const HWND owner = DialogOwner(asked);
    if (!g_dialogs.boxHook)
        g_dialogs.boxHook = SetWindowsHookExA(WH_CBT, PlaceBoxHook, nullptr, GetCurrentThreadId());
    FocusReturnScope keep(owner);
    const int result = MessageBoxA(owner, text, caption, type);
    if (g_dialogs.boxHook)
        UnhookWindowsHookEx(std::exchange(g_dialogs.boxHook, nullptr));
    return result;
}

INT_PTR RunOwnedDialog(HMODULE module, const char* templateName, HWND asked, DLGPROC proc, LPARAM param) {
    if (g_dialogs.pageLeaving)
        return IDCANCEL;
    DialogHook hook{proc, true, IsChildTemplate(module, templateName)};
    const HWND owner = hook.child ? asked : DialogOwner(asked);
    // A dialog being made around this call (none, as a rule) gets its record back afterwards.
    DialogHook* const outer = std::exchange(g_dialogs.making, &hook);
    FocusReturnScope keep(owner);
    const INT_PTR result = DialogBoxParamA(module, templateName, owner, SharedDialogProc, param);
    g_dialogs.making = outer;
    return result;
}

HWND CreateOwnedDialog(HMODULE module, const char* templateName, HWND asked, DLGPROC proc, LPARAM param) {
    auto* hook = new DialogHook{proc, false, IsChildTemplate(module, templateName)};
    const HWND owner = hook->child ? asked : DialogOwner(asked);
    DialogHook* const outer = std::exchange(g_dialogs.making, hook);
    const HWND dialog = CreateDialogParamA(module, templateName, owner, SharedDialogProc, param);
    if (g_dialogs.making == hook)  // no window took it: the template is missing
        delete hook;
    g_dialogs.making = outer;
    return dialog;
}

FocusReturnScope::FocusReturnScope(HWND owner) : owner_(owner), focus_(GetFocus()) {}

FocusReturnScope::~FocusReturnScope() {
    const HWND now = GetFocus();
    const HWND card = CardWindow();
    const HWND page = card ? GetAncestor(card, GA_ROOT) : nullptr;
    // Closing a window hands the focus to its owner or to nothing; anywhere else, someone chose it.
    if (now && now != owner_ && now != page)
        return;
    const auto takes = [](HWND window) {
        return window && IsWindow(window) && IsWindowVisible(window) && IsWindowEnabled(window) && OfThisThread(window);
    };
    // Back where it was (the card, a field, a dialog under this one); from the browser's frame or
    // from nothing, to the card once no dialog of ours runs, so that its keys (Escape, Shift+Tab,
    // Return) work without a click first.
    HWND target = focus_ != owner_ && focus_ != page && takes(focus_) ? focus_ : nullptr;
    if (!target && !DialogRuns() && page && IsWindowEnabled(page) && takes(card))
        target = card;
    if (target && target != now)
        SetFocus(target);
}

RunningDialogScope::RunningDialogScope(HWND dialog) : dialog_(dialog) {
    if (dialog_)
        g_dialogs.running.push_back(dialog_);
}

RunningDialogScope::~RunningDialogScope() {
    if (dialog_)
        std::erase(g_dialogs.running, dialog_);
}
