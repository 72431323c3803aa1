// The "Automatic Timer" dialog ("MAGICBUTTONS") on a record's timer mode and value.
#include "actions/TimerButtons.h"

#include <commctrl.h>

#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/timers_ids.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr char kEditProcProp[] = "LoomTimerEditProc";

// The mode and the delay being edited live in the table's header words; the dialog itself only
// remembers which radio was on, to tell a switch from a second click; it keeps that with itself.
struct TimerDialogState {
    bool afterDelay = false;
};

std::string EditText(HWND dialog) {
    char text[16] = {};
    GetDlgItemTextA(dialog, IDC_TIMER_DELAY, text, sizeof text);
    return text;
}

void ShowDelay(HWND dialog, int32_t tenths, bool pointForm) {
    SetDlgItemTextA(dialog, IDC_TIMER_DELAY, TimerEditText(tenths, pointForm).c_str());
}

int32_t WorkingTenths() {
    uint16_t mode = 0;
    int32_t tenths = 0;
    GetTimerDialogWords(&mode, &tenths);
    return tenths;
}

void KeepWorkingTenths(int32_t tenths) {
    uint16_t mode = 0;
    int32_t old = 0;
    GetTimerDialogWords(&mode, &old);
    SetTimerDialogWords(mode, tenths);
}

// Radio 1000 keeps the edit's delay and shows 0; radio 1001 shows the delay kept.
void ChooseAtOnce(TimerDialogState& t, HWND dialog) {
    if (t.afterDelay)
        KeepWorkingTenths(ReadTimerEditText(EditText(dialog)));
    t.afterDelay = false;
    SetDlgItemTextA(dialog, IDC_TIMER_DELAY, "0");
}

void ChooseAfterDelay(TimerDialogState& t, HWND dialog) {
    if (!t.afterDelay)
        ShowDelay(dialog, WorkingTenths(), true);
    t.afterDelay = true;
}

// Typing goes through the delay rules; what they refuse is not typed.
LRESULT CALLBACK DelayEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto old = reinterpret_cast<WNDPROC>(GetPropA(edit, kEditProcProp));
    switch (message) {
    case WM_CHAR: {
        char text[16] = {};
        GetWindowTextA(edit, text, sizeof text);
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        TimerEditState state{text, from, to};
        if (!TypeIntoTimerEdit(state, static_cast<char>(wParam))) {
            MessageBeep(MB_OK);
            return 0;
        }
        SetWindowTextA(edit, state.text.c_str());
        SendMessageA(edit, EM_SETSEL, state.selStart, state.selEnd);
        return 0;
    }
    case WM_PASTE:
        return 0;
    case WM_NCDESTROY:
        RemovePropA(edit, kEditProcProp);
        if (old)
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        break;
    default:
        break;
    }
    return old ? CallWindowProcA(old, edit, message, wParam, lParam) : DefWindowProcA(edit, message, wParam, lParam);
}

void InitTimerDialog(TimerDialogState& t, HWND dialog) {
    uint16_t mode = 0;
    int32_t tenths = 0;
    GetTimerDialogWords(&mode, &tenths);
    t.afterDelay = tenths >= 1;
    const int radio = t.afterDelay ? IDC_TIMER_AFTER : IDC_TIMER_AT_ONCE;
    CheckRadioButton(dialog, IDC_TIMER_AT_ONCE, IDC_TIMER_AFTER, radio);
    ShowDelay(dialog, t.afterDelay ? tenths : 0, true);
    if (!t.afterDelay)
        SetTimerDialogWords(mode, 30);  // what the delay radio offers first: 3.0 seconds
    CheckDlgButton(dialog, IDC_TIMER_REPEAT, (mode & kTimerRepeating) ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_TIMER_STEPS, UDM_SETRANGE32, 0, kTimerEditMaxTenths);
    HWND edit = GetDlgItem(dialog, IDC_TIMER_DELAY);
    SendMessageA(edit, EM_LIMITTEXT, kTimerEditCharacters, 0);
    const LONG_PTR old = SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DelayEditProc));
    SetPropA(edit, kEditProcProp, reinterpret_cast<HANDLE>(old));
    CenterWindowOnParent(dialog);
    SetFocus(GetDlgItem(dialog, radio));
}

// OK: the mode and value go into the header words; with the stack's timers off the user may
// turn them on here.
void AcceptTimerDialog(TimerDialogState& t, HWND dialog) {
    const uint16_t mode = IsDlgButtonChecked(dialog, IDC_TIMER_REPEAT) == BST_CHECKED ? kTimerRepeating : kTimerOnce;
    const int32_t tenths = t.afterDelay ? ReadTimerEditText(EditText(dialog)) : 0;
    SetTimerDialogWords(mode, t.afterDelay ? kTimerTenths + tenths : 0);
    const Handle header = GetStackHeaderHandle();
    if (header && GetHandleWord(header, kHeaderTimersAndLinks) == 0 && ShowAlertOn(dialog, IDA_TIMERS_OFF) == 1) {
        SetHandleWord(header, kHeaderTimersAndLinks, 1);
        MarkStackModified();
    }
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK TimerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    TimerDialogState* kept = KeptDialogState<TimerDialogState>(dialog, message, lParam);
    if (!kept)
        return FALSE;
    TimerDialogState& t = *kept;
    switch (message) {
    case WM_INITDIALOG:
        InitTimerDialog(t, dialog);
        return FALSE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != IDC_TIMER_STEPS || header->code != UDN_DELTAPOS)
            return FALSE;
        const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
        const std::string text = EditText(dialog);
        const bool pointForm = text.find('.') != std::string::npos;
        ShowDelay(dialog, StepTimerValue(ReadTimerEditText(text), change->iDelta, pointForm), pointForm);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);  // the control keeps no position of its own
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TIMER_AT_ONCE:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseAtOnce(t, dialog);
            return TRUE;
        case IDC_TIMER_AFTER:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseAfterDelay(t, dialog);
            return TRUE;
        case IDC_TIMER_DELAY:
            if (HIWORD(wParam) == EN_SETFOCUS && !t.afterDelay) {
                CheckRadioButton(dialog, IDC_TIMER_AT_ONCE, IDC_TIMER_AFTER, IDC_TIMER_AFTER);
                ChooseAfterDelay(t, dialog);
            }
            return TRUE;
        case IDOK:
            AcceptTimerDialog(t, dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

int RunTimerDialog(HWND window, uint16_t* mode, uint16_t* value) {
    if (!mode || !value || !MakeTimerTable())
        return 0;
    if (CountCardTimers() >= static_cast<int>(kTimerTableCapacity)) {
        ShowAlertOn(window, IDA_TIMERS_FULL);
        return 0;
    }
    SetTimerDialogWords(*mode, TimerValueTenths(*value));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    TimerDialogState state;
    if (ResDialogBoxParam(window, TimerDialogProc, "MAGICBUTTONS", reinterpret_cast<LPARAM>(&state)) != IDOK) {
        if (TimerCount() == 0)
            FreeTimerTable();
        return 0;
    }
    int32_t chosen = 0;
    GetTimerDialogWords(mode, &chosen);
    *value = static_cast<uint16_t>(chosen);
    return 1;
}
