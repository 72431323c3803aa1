// The address dialog "GETURL": a rich edit that detects addresses, up to 255 characters; OK only
// while it holds text.
#include "host/launching/LaunchPrograms.h"

#include <richedit.h>

#include "actions/ActionBlock.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/launch_ids.h"

namespace {

constexpr int kMaxUrlCharacters = 255;

void EnableOkForText(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthA(GetDlgItem(dialog, IDC_GETURL_EDIT)) > 0);
}

// OK: the text goes into the URL buffer (made when missing). Enter with an empty edit does
// nothing: OK is off then.
void ConfirmUrl(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_GETURL_EDIT);
    if (GetWindowTextLengthA(edit) <= 0)
        return;
    char* url = NewUrlBuffer();
    if (url)
        GetWindowTextA(edit, url, kMaxUrlCharacters + 1);
    EndDialog(dialog, url ? IDOK : IDCANCEL);
}

INT_PTR CALLBACK GetUrlProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND edit = GetDlgItem(dialog, IDC_GETURL_EDIT);
        SendMessageA(edit, EM_AUTOURLDETECT, TRUE, 0);
        SendMessageA(edit, EM_EXLIMITTEXT, 0, kMaxUrlCharacters);
        SendMessageA(edit, EM_SETEVENTMASK, 0, ENM_CHANGE);
        char initial[kMaxUrlCharacters + 1] = {};
        if (const char* url = LockUrlBuffer()) {
            lstrcpynA(initial, url, sizeof initial);
            UnlockUrlBuffer();
        } else
            LoadResString(kStringDefaultUrl, initial, sizeof initial);
        SetWindowTextA(edit, initial);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        EnableOkForText(dialog);
        CenterWindowOnScreen(dialog);
        SetFocus(edit);
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_GETURL_EDIT && HIWORD(wParam) == EN_CHANGE)
            EnableOkForText(dialog);
        else if (LOWORD(wParam) == IDOK)
            ConfirmUrl(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

bool AskForUrl(HWND owner) {
    // The rich edit class of the template.
    static const HMODULE richEdit = LoadLibraryA("riched20.dll");
    if (!richEdit)
        return false;
    return ResDialogBox(owner, GetUrlProc, "GETURL") == IDOK;
}
