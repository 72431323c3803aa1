// The "POPTIONS" dialog: what surrounds the card in presentation mode (nothing, the desktop
// wallpaper or a colour of the grid) and whether the title bar stays.
#include "host/dialogs/PreferencesDialogs.h"

#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kGridCells = 8;      // 8 x 8 cells
constexpr int kGridCellPixels = 8;

struct OptionsDialog {
    Presentation* presentation = nullptr;
    uint16_t selection = 0;  // the grid's palette index: the colour less one
};


int CheckedRadio(HWND dialog) {
    for (int id = IDC_POPT_PLAIN; id <= IDC_POPT_COLOR; ++id)
        if (IsItemChecked(dialog, id))
            return id;
    return 0;
}

// Without a wallpaper its choice is offered no longer; the colour takes its place.
void FollowWallpaper(HWND dialog) {
    const bool wallpaper = HasWallpaper();
    if (!wallpaper && IsItemChecked(dialog, IDC_POPT_WALLPAPER))
        CheckRadioButton(dialog, IDC_POPT_PLAIN, IDC_POPT_COLOR, IDC_POPT_COLOR);
    EnableWindow(GetDlgItem(dialog, IDC_POPT_WALLPAPER), wallpaper);
}

void InitOptionsDialog(HWND dialog, OptionsDialog& state) {
    const Presentation& p = *state.presentation;
    state.selection = static_cast<uint16_t>(p.color - 1);
    const int radio = PresentationRadioFor(p.mode, HasWallpaper());
    CheckRadioButton(dialog, IDC_POPT_PLAIN, IDC_POPT_COLOR, radio);
    CheckDlgButton(dialog, IDC_POPT_SHOW_TITLE, (p.options & kPresentationShowTitle) ? BST_CHECKED : BST_UNCHECKED);
    FollowWallpaper(dialog);
    SetWindowPos(GetDlgItem(dialog, IDC_POPT_GRID), nullptr, 0, 0, kGridCells * kGridCellPixels,
                 kGridCells * kGridCellPixels, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(GetDlgItem(dialog, radio));
    CenterWindowOnScreen(dialog);
}

void Confirm(HWND dialog, OptionsDialog& state) {
    Presentation& p = *state.presentation;
    if (IsItemChecked(dialog, IDC_POPT_SHOW_TITLE))
        p.options |= kPresentationShowTitle;
    else
        p.options &= static_cast<uint16_t>(~kPresentationShowTitle);
    p.mode = PresentationModeFor(CheckedRadio(dialog));
    p.color = static_cast<int16_t>(state.selection + 1);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    OptionsDialog* state = KeptDialogState<OptionsDialog>(dialog, message, lParam);
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: InitOptionsDialog(dialog, *state); return FALSE;  // the focus is set
    case WM_DRAWITEM:
        if (wParam != IDC_POPT_GRID)
            return FALSE;
        DrawColorGrid(GetDlgItem(dialog, IDC_POPT_GRID), kGridDraw, 0, 0, kGridCells, kGridCells, 0);
        DrawColorGrid(GetDlgItem(dialog, IDC_POPT_GRID), kGridFrame, 0, 0, kGridCells, kGridCells,
                      state->selection);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        TrackColorPopup(dialog, static_cast<DWORD>(lParam), IDC_POPT_GRID, &state->selection,
                        message == WM_LBUTTONDBLCLK);
        return TRUE;
    case WM_SETTINGCHANGE:
        // The desktop's wallpaper may have come or gone.
        FollowWallpaper(dialog);
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0)
            return FALSE;
        if (LOWORD(wParam) == IDOK) {
            Confirm(dialog, *state);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR EditPresentationOptions(HWND owner, Presentation* presentation) {
    if (!presentation)
        return IDCANCEL;
    OptionsDialog state;
    state.presentation = presentation;
    const INT_PTR result = ResDialogBoxParam(owner, OptionsDlgProc, "POPTIONS", reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? IDOK : IDCANCEL;
}
