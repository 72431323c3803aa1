// The Jump to Card dialog.
#include <string>

#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardNavigationRules.h"
#include "resources/navigation_ids.h"

namespace {

// Long enough for any card name the lookup compares (33 characters are compared; the field
// takes 32 so the one behind the last stays visible).
constexpr int kJumpFieldLimit = 32;

INT_PTR CALLBACK JumpToCardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_JUMP_CARD, EM_LIMITTEXT, kJumpFieldLimit, 0);
        CenterWindowOnParent(dialog);
        SetFocus(GetDlgItem(dialog, IDC_JUMP_CARD));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[kJumpFieldLimit + 2] = {};
            GetDlgItemTextA(dialog, IDC_JUMP_CARD, text, sizeof text);
            uint16_t id = 0;
            switch (ResolveJumpText(text, &id)) {
            case JumpTarget::kCard:
                EndDialog(dialog, id);
                break;
            case JumpTarget::kNotFound:
                ShowAlertOn(dialog, kAlertCardNotFound);
                EndDialog(dialog, 0);
                break;
            case JumpTarget::kNone:
                EndDialog(dialog, 0);
                break;
            case JumpTarget::kBlank:
                break;  // nothing to go to; the dialog stays
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

uint16_t OpenJumpToCardDialog(HWND window) {
    const INT_PTR chosen = ResDialogBoxParam(window, JumpToCardProc, "JUMP_TO_CARD", 0);
    if (chosen <= 0 || chosen > 0xFFFF)
        return 0;
    const auto id = static_cast<uint16_t>(chosen);
    GoToCardId(id);
    return id;
}
