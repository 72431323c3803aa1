// The standard alert box: template "DOGIEHELP", sized by the text's class and its buttons.
#include "core/ui/Alerts.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/AlertText.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/resource_ids.h"

namespace {

constexpr size_t kPendingSize = kAlertTextMax + 1;
constexpr const char* kAlertProperty = "LoomAlertBox";
// The string id again, as a plain number, for programs outside the module (the test browser
// notes which alert a page shows) that cannot read the box's own record.
constexpr const char* kAlertIdProperty = "LoomAlertId";

// What one box is asked to show: a string of the table, or a text given with the call.
struct AlertRequest {
    uint32_t stringId = 0;
    bool wantIcon = true;
    const char* text = nullptr;  // for kAlertPendingText, or a string of the table filled in
};

// What one open box keeps for painting and for whoever asks what it shows.
struct AlertBoxState {
    uint32_t stringId = 0;
    int iconKind = kAlertIconNone;
    HICON icon = nullptr;
    MascotPicture mascot;
};

// The alert's text: the given text for id 0, else the string; the generic error alert when
// either is missing, so that a box never ends silently for want of its text.
std::string LoadAlertString(const AlertRequest& request) {
    const uint32_t stringId = request.stringId;
    std::string text;
    if (stringId == kAlertPendingText || request.text) {
        if (request.text)
            text.assign(request.text, strnlen(request.text, kPendingSize - 1));
    } else {
        char buffer[kAlertTextMax + 1] = {};
        if (LoadResString(stringId, buffer, sizeof buffer) > 0)
            text = buffer;
    }
    if (text.empty() && stringId != kAlertGenericError) {
        char buffer[kAlertTextMax + 1] = {};
        if (LoadResString(kAlertGenericError, buffer, sizeof buffer) > 0)
            text = buffer;
    }
    return text;
}

SIZE ControlSize(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return {r.right - r.left, r.bottom - r.top};
}

void PlaceControl(HWND dialog, int id, const AlertRect& r) {
    MoveWindow(GetDlgItem(dialog, id), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

AlertMetrics MeasureAlertBox(HWND dialog) {
    AlertMetrics m;
    m.baseUnitX = LOWORD(GetDialogBaseUnits());
    const SIZE button = ControlSize(dialog, IDC_ALERT_BUTTON1);
    m.designedButtonWidth = button.cx;
    m.buttonHeight = button.cy;
    m.frameWidth = GetSystemMetrics(SM_CXDLGFRAME);
    m.borderWidth = GetSystemMetrics(SM_CXBORDER);
    return m;
}

// Loads the icon of the box's kind and returns its size (0 x 0 for none).
SIZE PrepareIcon(AlertBoxState& state) {
    switch (state.iconKind) {
    case kAlertIconStop:
    case kAlertIconExclamation:
        state.icon = LoadIcon(nullptr, state.iconKind == kAlertIconStop ? IDI_HAND : IDI_EXCLAMATION);
        if (state.icon)
            return {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
        break;
    case kAlertIconMascot:
        if (LoadMascotPicture(&state.mascot))
            return {state.mascot.width, state.mascot.height};
        break;
    default:
        break;
    }
    state.iconKind = kAlertIconNone;
    return {0, 0};
}

// Ends the box at once; false so that the caller returns from the initialisation.
BOOL EndAtOnce(HWND dialog) {
    EndDialog(dialog, IDC_ALERT_BUTTON1);
    return FALSE;
}

BOOL InitAlertBox(HWND dialog, const AlertRequest& request) {
    auto* state = new AlertBoxState;
    state->stringId = request.stringId;
    const bool wantIcon = request.wantIcon;
    SetPropA(dialog, kAlertProperty, state);
    SetPropA(dialog, kAlertIdProperty, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(state->stringId)));

    AlertText alert;
    if (!ParseAlertText(LoadAlertString(request), &alert))
        return EndAtOnce(dialog);
    state->iconKind = wantIcon ? alert.iconKind : kAlertIconNone;

    if (state->stringId == kAlertCardSizeTooSmall || state->stringId == kAlertStackCardSizeTooSmall) {
        alert.message = FillTwoNumbers(alert.message, MinimumCardExtent(GetSystemMetrics(SM_CXMINTRACK)),
                                       MinimumCardExtent(GetSystemMetrics(SM_CYMINTRACK)));
    }

    const AlertMetrics metrics = MeasureAlertBox(dialog);
    const AlertBoxSize size = AlertWindowSize(alert, metrics);
    SetWindowPos(dialog, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER);

    const SIZE icon = PrepareIcon(*state);
    RECT client{};
    GetClientRect(dialog, &client);
    const AlertLayout layout = LayoutAlert(alert, metrics, client.right, client.bottom, icon.cx, icon.cy);

    PlaceControl(dialog, IDC_ALERT_ICON, layout.icon);
    ShowWindow(GetDlgItem(dialog, IDC_ALERT_ICON), state->iconKind != kAlertIconNone ? SW_SHOW : SW_HIDE);
    PlaceControl(dialog, IDC_ALERT_TEXT, layout.message);
    SetDlgItemTextA(dialog, IDC_ALERT_TEXT, alert.message.c_str());

    for (int i = 0; i < kAlertMaxButtons; ++i) {
        const int id = IDC_ALERT_BUTTON1 + i;
        HWND button = GetDlgItem(dialog, id);
        if (i < alert.buttonCount) {
            PlaceControl(dialog, id, layout.buttons[static_cast<size_t>(i)]);
            SetWindowTextA(button, alert.labels[static_cast<size_t>(i)].c_str());
            ShowWindow(button, SW_SHOW);
        } else {
            ShowWindow(button, SW_HIDE);
        }
    }

    const int defaultId = IDC_ALERT_BUTTON1 + alert.defaultButton;
    SendMessageA(dialog, DM_SETDEFID, defaultId, 0);
    SetFocus(GetDlgItem(dialog, defaultId));
    CenterWindowOnScreen(dialog);
    return FALSE;  // the focus is set
}

void DrawAlertIcon(const DRAWITEMSTRUCT& item, const AlertBoxState& state) {
    if (state.iconKind == kAlertIconMascot)
        DrawMascotPicture(item.hDC, 0, 0, state.mascot);
    else if (state.icon)
        DrawIcon(item.hDC, 0, 0, state.icon);
}

INT_PTR CALLBACK AlertBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = static_cast<AlertBoxState*>(GetPropA(dialog, kAlertProperty));
    switch (message) {
    case WM_INITDIALOG:
        return InitAlertBox(dialog, *reinterpret_cast<const AlertRequest*>(lParam));
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!state || !item || item->CtlID != IDC_ALERT_ICON)
            return FALSE;
        DrawAlertIcon(*item, *state);
        return TRUE;
    }
    case WM_COMMAND: {
        // Only the buttons end the box; Escape and the close box do nothing.
        const int id = LOWORD(wParam);
        if (id >= IDC_ALERT_BUTTON1 && id <= IDC_ALERT_BUTTON3)
            EndDialog(dialog, id);
        return TRUE;
    }
    case WM_NCDESTROY:
        if (state) {
            RemovePropA(dialog, kAlertProperty);
            RemovePropA(dialog, kAlertIdProperty);
            FreeMascotPicture(&state->mascot);  // system icons are shared and not destroyed
            delete state;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

int RunAlertBox(HWND owner, const AlertRequest& request) {
    return static_cast<int>(
        ResDialogBoxParam(owner, AlertBoxProc, "DOGIEHELP", reinterpret_cast<LPARAM>(&request)));
}

}  // namespace

int MascotMessageBox(HWND owner, uint32_t stringId, bool once, bool force, int16_t iconFlag) {
    EnsureAlertSuppressionList();
    if (!force) {
        if (IsAdvancedUser())
            return IDC_ALERT_BUTTON1;
        if (once && AlertAlreadyShown(stringId))
            return IDC_ALERT_BUTTON1;
    }
    return RunAlertBox(owner, {stringId, iconFlag != 0, nullptr});
}

int MascotTextBox(HWND owner, const char* text, int16_t iconFlag) {
    EnsureAlertSuppressionList();
    return RunAlertBox(owner, {kAlertPendingText, iconFlag != 0, text});
}

int ShowAlert(uint32_t stringId) {
    return MascotMessageBox(GetMainWindow(), stringId, false, true, 1) - (IDC_ALERT_BUTTON1 - 1);
}

int ShowAlertOn(HWND owner, uint32_t stringId) {
    if (!owner)
        return ShowAlert(stringId);
    return MascotMessageBox(owner, stringId, false, true, 1) - (IDC_ALERT_BUTTON1 - 1);
}

int ShowAlertText(HWND owner, const char* text) {
    return MascotTextBox(owner ? owner : GetMainWindow(), text, 1) - (IDC_ALERT_BUTTON1 - 1);
}

int ShowAlertNaming(HWND owner, uint32_t stringId, std::string_view name) {
    std::string text = ResText(stringId);
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, name);
    EnsureAlertSuppressionList();
    return RunAlertBox(owner ? owner : GetMainWindow(), {stringId, true, text.c_str()}) - (IDC_ALERT_BUTTON1 - 1);
}

int32_t AlertBoxStringId(HWND dialog) {
    const auto* state = static_cast<const AlertBoxState*>(GetPropA(dialog, kAlertProperty));
    return state ? static_cast<int32_t>(state->stringId) : -1;
}
