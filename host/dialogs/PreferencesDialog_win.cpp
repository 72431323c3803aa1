// The "PREFERENCES" dialog: the stack's settings, its password and presentation mode, and the
// experienced-user preference; and applying what it confirmed.
#include "host/dialogs/PreferencesDialogs.h"

#include <cstring>
#include <string>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WindowUtils.h"
#include "host/player/CardNavigation.h"
#include "media/DroppedFiles.h"
#include "resources/resource_ids.h"
#include "format/StackFile.h"

namespace {

constexpr int kPasswordCompareChars = 32;
constexpr int kPasswordReadSize = 81;  // 80 characters
constexpr int kHighCompressionMinDepth = 9;

// The check boxes of the dialog and the settings they show.
struct BoxItem {
    int id;
    bool PreferenceBoxes::*box;
};
constexpr BoxItem kBoxItems[] = {
    {IDC_PREF_EXPERIENCED, &PreferenceBoxes::experienced}, {IDC_PREF_IGNORE_CLICKS, &PreferenceBoxes::ignoreClicks},
    {IDC_PREF_LOCK, &PreferenceBoxes::lock},               {IDC_PREF_CARD_NUMBER, &PreferenceBoxes::cardNumber},
    {IDC_PREF_TIMERS, &PreferenceBoxes::timers},           {IDC_PREF_AUTOSAVE, &PreferenceBoxes::autoSave},
    {IDC_PREF_PRESENTATION, &PreferenceBoxes::presentation},
    {IDC_PREF_HIGH_COMPRESSION, &PreferenceBoxes::highCompression},
};

struct PreferencesDialog {
    StackPreferences prefs;
    // A locked stack with a password keeps its settings shut until the password is typed.
    bool guarded = false;
};

std::string ItemText(HWND dialog, int id) {
    char text[kPasswordReadSize] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}


void EnableGuardedBoxes(HWND dialog, bool enable) {
    for (int id = IDC_PREF_IGNORE_CLICKS; id <= IDC_PREF_PRESENTATION; ++id)
        EnableWindow(GetDlgItem(dialog, id), enable);
}

void ShowConfirmation(HWND dialog, bool show) {
    ShowWindow(GetDlgItem(dialog, IDC_PREF_CONFIRM_LABEL), show ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_PREF_CONFIRM), show ? SW_SHOW : SW_HIDE);
}

void InitPreferencesDialog(HWND dialog, PreferencesDialog& state) {
    CenterWindowOnScreen(dialog);
    const PreferenceBoxes boxes = BoxesFromPreferences(state.prefs, IsAdvancedUser());
    for (const auto& [id, box] : kBoxItems)
        SetItemChecked(dialog, id, boxes.*box);
    EnableWindow(GetDlgItem(dialog, IDC_PREF_HIGH_COMPRESSION), GetScreenDepth() >= kHighCompressionMinDepth);
    SendDlgItemMessageA(dialog, IDC_PREF_PASSWORD, EM_LIMITTEXT, kPasswordBytes - 1, 0);
    SendDlgItemMessageA(dialog, IDC_PREF_CONFIRM, EM_LIMITTEXT, kPasswordBytes - 1, 0);

    state.guarded = state.prefs.locked != 0 && HasPassword(state.prefs);
    if (state.guarded) {
        EnableGuardedBoxes(dialog, false);
        ShowConfirmation(dialog, false);
    } else {
        SetDlgItemTextA(dialog, IDC_PREF_PASSWORD, state.prefs.password);
        SetDlgItemTextA(dialog, IDC_PREF_CONFIRM, state.prefs.password);
        SendDlgItemMessageA(dialog, IDC_PREF_PASSWORD, EM_SETSEL, 0, -1);
    }
    SetFocus(GetDlgItem(dialog, IDC_PREF_PASSWORD));
}

// Typing the password opens the guarded settings.
void PasswordTyped(HWND dialog, PreferencesDialog& state) {
    if (!state.guarded)
        return;
    const std::string typed = ItemText(dialog, IDC_PREF_PASSWORD);
    if (std::strncmp(typed.c_str(), state.prefs.password, kPasswordCompareChars) != 0)
        return;
    state.guarded = false;
    EnableGuardedBoxes(dialog, true);
    ShowConfirmation(dialog, true);
    SetDlgItemTextA(dialog, IDC_PREF_CONFIRM, state.prefs.password);
}

void BoxClicked(HWND dialog, PreferencesDialog& state, int id) {
    SetFocus(GetDlgItem(dialog, IDC_PREF_PASSWORD));
    if (id == IDC_PREF_PRESENTATION && IsItemChecked(dialog, id) &&
        EditPresentationOptions(dialog, &state.prefs.presentation) != IDOK)
        SetItemChecked(dialog, id, false);
}

void Confirm(HWND dialog, PreferencesDialog& state) {
    // While the settings are shut the password stays: a stack's password is changed only by
    // someone who has typed it.
    if (!state.guarded) {
        const std::string password = ItemText(dialog, IDC_PREF_PASSWORD);
        if (password != ItemText(dialog, IDC_PREF_CONFIRM)) {
            MascotMessageBox(dialog, kAlertPasswordsDiffer, false, true, 1);
            return;
        }
        SetStackPassword(&state.prefs, password);
    }
    PreferenceBoxes boxes;
    for (const auto& [id, box] : kBoxItems)
        boxes.*box = IsItemChecked(dialog, id);
    TakePreferenceBoxes(boxes, &state.prefs);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PreferencesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PreferencesDialog* state = KeptDialogState<PreferencesDialog>(dialog, message, lParam);
    if (message == WM_INITDIALOG) {
        InitPreferencesDialog(dialog, *state);
        return FALSE;  // the focus is set
    }
    if (message != WM_COMMAND || !state)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDC_PREF_PASSWORD && code == EN_CHANGE) {
        PasswordTyped(dialog, *state);
    } else if (id >= IDC_PREF_EXPERIENCED && id <= IDC_PREF_PRESENTATION && code == BN_CLICKED) {
        BoxClicked(dialog, *state, id);
    } else if (id == IDOK) {
        Confirm(dialog, *state);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    } else {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

INT_PTR EditPreferences(Handle header) {
    PreferencesDialog state;
    {
        HandleLock lock(header);
        if (!lock || !ReadStackPreferences(lock.bytes(), &state.prefs))
            return 0;
    }
    const INT_PTR result = ResDialogBoxParam(GetMainWindow(), PreferencesDlgProc, "PREFERENCES",
                                             reinterpret_cast<LPARAM>(&state));
    if (result == IDOK) {
        ApplyPreferences(header, state.prefs);
        UpdateCardTitle(true);
    }
    return result;
}

void ApplyPreferences(Handle header, const StackPreferences& prefs) {
    WritePrefString("user", "AdvancedUser", prefs.experiencedUser ? "Yes" : "No");
    StackPreferences before;
    {
        HandleLock lock(header);
        if (!lock)
            return;
        const std::span<uint8_t> bytes = lock.bytes();
        if (!ReadStackPreferences(bytes, &before))
            return;
        WriteStackPreferences(bytes, prefs);
    }
    SetPreferenceGlobals(prefs);
    SetAcceptDroppedFiles(GetMainWindow(), prefs.experiencedUser != 0);
    MarkCardChanged();
    ApplyScreenMode(&CurrentPresentation(), prefs.presentation);
    // Unlocked again, the bar is rebuilt all the same so its lists are current.
    if (before.locked != prefs.locked || !prefs.locked)
        SetMenuLocked(GetFrameWindow(), prefs.locked != 0);
}
