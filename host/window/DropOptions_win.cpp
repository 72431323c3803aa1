// "DROPOPTS": what a picture dropped with Alt on empty card becomes.
#include <windows.h>

#include "core/ui/Resources.h"
#include "host/window/DroppedFiles.h"
#include "resources/medialib_ids.h"

namespace {

// The last radio checked; the first when none is.
int CheckedChoice(HWND dialog) {
    int chosen = IDC_DROP_LASSO;
    for (int id = IDC_DROP_LASSO; id <= IDC_DROP_GRAPHIC; ++id)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            chosen = id;
    return chosen;
}

INT_PTR CALLBACK DropOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CheckRadioButton(dialog, IDC_DROP_LASSO, IDC_DROP_GRAPHIC, IDC_DROP_LASSO);
        SetFocus(GetDlgItem(dialog, IDC_DROP_LASSO));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: EndDialog(dialog, CheckedChoice(dialog)); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

int RunDropOptionsDialog(HWND window) {
    return static_cast<int>(ResDialogBoxParam(window, DropOptionsProc, "DROPOPTS", 0));
}
