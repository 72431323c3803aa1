// "NOVICE1": after the first button is changed, a reminder to test it with the browse tool.
#include <windows.h>

#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "resources/buttons_ids.h"
#include "authoring/buttons/Buttons.h"


namespace {

// The browse cell of the "TOOLS" picture: the left third, between two and one thirds of the
// picture's width above its bottom.
bool InBrowseCell(HWND dialog, POINT p) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, IDC_NOVICE_TOOLS), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const int width = r.right - r.left;
    return p.x >= r.left && p.x < r.left + width / 3 && p.y >= r.bottom - 2 * width / 3 && p.y < r.bottom - width / 3;
}

INT_PTR CALLBACK NoviceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_LBUTTONDOWN:
        if (!InBrowseCell(dialog, {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))
            return FALSE;
        SelectToolNumber(kBrowseTool);
        EndDialog(dialog, IDC_NOVICE_BROWSE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NOVICE_BROWSE: SelectToolNumber(kBrowseTool); EndDialog(dialog, IDC_NOVICE_BROWSE); return TRUE;
        case IDOK:
        case IDCANCEL: EndDialog(dialog, IDOK); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void ShowFirstButtonTip(HWND window) { ResDialogBox(window, NoviceProc, "NOVICE1"); }
