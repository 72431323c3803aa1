// The tall alert box: template "BIGLMMSG", one line per static control from consecutive
// string ids, OK and optionally Cancel.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "core/system/PreferenceFlags.h"
#include "core/ui/AlertText.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kBigLineCount = 12;
constexpr int kBigLineSize = 256;

struct BigBoxRequest {
    uint32_t firstId;
    int lineCount;
    bool cancel;
};

SIZE TextExtent(HDC dc, const char* text, int length) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, length, &size);
    return size;
}

void SetLineAlignment(HWND line, char digit) {
    LONG style = GetWindowLongA(line, GWL_STYLE) & ~(SS_TYPEMASK);
    style |= digit == '1' ? SS_CENTER : digit == '2' ? SS_RIGHT : SS_LEFT;
    SetWindowLongA(line, GWL_STYLE, style);
}

struct FilledLines {
    int width = 0;  // what the widest line needs
    int used = 0;   // statics taken, the empty ones of line feeds among them
};

FilledLines FillLines(HWND dialog, const BigBoxRequest& request) {
    WindowDC windowDc(dialog);
    const HDC dc = windowDc.get();
    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    int width = 0;
    const int pad = TextExtent(dc, " \0", 2).cx;  // a blank and a NUL
    int control = IDC_BIGMSG_LINE1;
    for (int i = 0; i < request.lineCount && i < kBigLineCount; ++i) {
        char text[kBigLineSize] = {};
        // A line that cannot be loaded ends the box's text; the first one was checked before.
        if (LoadResString(request.firstId + static_cast<uint32_t>(i), text, sizeof text) <= 0)
            break;
        if (control > IDC_BIGMSG_LINE12)
            break;
        const char* shown = text + 1;
        const int shownLength = static_cast<int>(strcspn(shown, "\n"));
        const int lineFeeds = static_cast<int>(std::count(shown, shown + std::strlen(shown), '\n'));
        HWND line = GetDlgItem(dialog, control);
        SetLineAlignment(line, text[0]);
        const std::string_view visible(shown, static_cast<size_t>(shownLength));
        SetWindowTextA(line, std::string(visible).c_str());
        width = std::max(width, static_cast<int>(TextExtent(dc, shown, shownLength).cx));
        width += pad;
        // One static stays empty for each line feed in the text.
        control += 1 + lineFeeds;
    }
    return {width, std::min(control, IDC_BIGMSG_LINE12 + 1) - IDC_BIGMSG_LINE1};
}

BOOL InitBigBox(HWND dialog, const BigBoxRequest& request) {
    const FilledLines lines = FillLines(dialog, request);
    const int width = lines.width;
    for (int id = IDC_BIGMSG_LINE1; id <= IDC_BIGMSG_LINE12; ++id) {
        const RECT r = DialogItemRect(dialog, id);
        MoveWindow(GetDlgItem(dialog, id), r.left, r.top, width, r.bottom - r.top, FALSE);
        ShowWindow(GetDlgItem(dialog, id), id < IDC_BIGMSG_LINE1 + lines.used ? SW_SHOW : SW_HIDE);
    }

    const RECT ok = DialogItemRect(dialog, IDOK);
    const RECT cancel = DialogItemRect(dialog, IDCANCEL);
    const int okWidth = ok.right - ok.left;
    const int cancelWidth = cancel.right - cancel.left;
    // The buttons must fit, however short the lines are.
    RECT frame{};
    GetWindowRect(dialog, &frame);
    RECT client{};
    GetClientRect(dialog, &client);
    const int nonClient = (frame.right - frame.left) - client.right;
    const int buttonsWidth = 2 * kAlertMargin + okWidth + (request.cancel ? kAlertButtonGap + cancelWidth : 0);
    const int windowWidth = std::max(width + 8, buttonsWidth + nonClient);
    // As tall as the lines it shows: the buttons under the last one.
    const RECT last = DialogItemRect(dialog, IDC_BIGMSG_LINE1 + std::max(lines.used, 1) - 1);
    const int clientHeight = std::min<int>(client.bottom, last.bottom + kAlertMargin + (ok.bottom - ok.top) + kAlertMargin);
    const int windowHeight = (frame.bottom - frame.top) - client.bottom + clientHeight;
    SetWindowPos(dialog, nullptr, 0, 0, windowWidth, windowHeight, SWP_NOMOVE | SWP_NOZORDER);

    GetClientRect(dialog, &client);
    const int okLeft = client.right - kAlertMargin - okWidth;
    const int okTop = client.bottom - kAlertMargin - (ok.bottom - ok.top);
    MoveWindow(GetDlgItem(dialog, IDOK), okLeft, okTop, okWidth, ok.bottom - ok.top, FALSE);
    const int cancelLeft = okLeft - kAlertButtonGap - cancelWidth;
    const int cancelTop = client.bottom - kAlertMargin - (cancel.bottom - cancel.top);
    MoveWindow(GetDlgItem(dialog, IDCANCEL), cancelLeft, cancelTop, cancelWidth, cancel.bottom - cancel.top, FALSE);
    ShowWindow(GetDlgItem(dialog, IDCANCEL), request.cancel ? SW_SHOW : SW_HIDE);

    SetFocus(GetDlgItem(dialog, IDOK));
    CenterWindowOnScreen(dialog);
    return FALSE;
}

INT_PTR CALLBACK BigBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const BigBoxRequest request{static_cast<uint32_t>(lParam) >> 16, static_cast<int>(lParam & 0xFF),
                                    (lParam & 0xFF00) != 0};
        return InitBigBox(dialog, request);
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int BigMascotMessageBox(HWND owner, uint32_t firstId, uint8_t lineCount, bool once, bool force,
                        bool cancel) {
    if (!EnsureAlertSuppressionList())
        return IDOK;
    if (!force) {
        if (IsAdvancedUser())
            return IDOK;
        if (once && AlertAlreadyShown(firstId))
            return IDOK;
    }
    // Without its first line the box would have nothing to say: report that something failed
    // rather than end silently.
    char first[kBigLineSize] = {};
    if (LoadResString(firstId, first, sizeof first) <= 0) {
        MascotMessageBox(owner, kAlertGenericError, false, true, 1);
        return IDOK;
    }
    const LPARAM param = static_cast<LPARAM>((firstId << 16) | (cancel ? 0x100u : 0u) | lineCount);
    const INT_PTR result = ResDialogBoxParam(owner, BigBoxProc, "BIGLMMSG", param);
    return result == IDCANCEL ? IDCANCEL : IDOK;
}
