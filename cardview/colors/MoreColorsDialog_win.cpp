// The "MCOLORS" dialog: the whole palette as a 16 x 16 grid, for choosing what a cell of the
// 8 x 8 grid shows.
#include <windowsx.h>

#include "core/system/PreferenceFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "resources/palette_ids.h"

namespace {

constexpr int kMoreColorsGridSide = 16;

// What the open dialog works on: the index selected, and whether the colour chooser runs from
// a double click.
struct MoreColors {
    uint16_t selection = 0;
    bool busy = false;
};

bool g_open = false;

void FillSwatch(HDC dc, const RECT& rect, uint16_t selection) {
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(selection)));
    FillRect(dc, &rect, brush.get());
}

// The grid and the swatch are owner-drawn, so they are drawn whenever their items paint.
bool DrawItem(const DRAWITEMSTRUCT& item, uint16_t selection) {
    if (item.CtlID == IDC_MCOLORS_GRID)
        DrawColorGridItem(item.hwndItem, item.hDC, kMoreColorsGridSide, kMoreColorsGridSide, selection);
    else if (item.CtlID == IDC_MCOLORS_SWATCH)
        FillSwatch(item.hDC, item.rcItem, selection);
    else
        return false;
    return true;
}

bool MoveSelection(HWND dialog, LPARAM point, uint16_t* selection) {
    return MoveColorGridSelection(dialog, GET_X_LPARAM(point), GET_Y_LPARAM(point), IDC_MCOLORS_GRID, kMoreColorsGridSide,
                                  kMoreColorsGridSide, selection) != 0;
}

// Fills the swatch item with the selected colour.
void DrawColorsDlgSwatch(HWND dialog, uint16_t selection) {
    HWND item = GetDlgItem(dialog, IDC_MCOLORS_SWATCH);
    RECT client;
    if (!item || !GetClientRect(item, &client))
        return;
    WindowDC dc(item);
    if (dc)
        FillSwatch(dc.get(), client, selection);
}

INT_PTR CALLBACK MoreColorsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    MoreColors* state = KeptDialogState<MoreColors>(dialog, message, lParam);
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindowOnScreen(dialog);
        return TRUE;
    case WM_DRAWITEM:
        return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), state->selection);
    case WM_LBUTTONDOWN:
        if (!state->busy && MoveSelection(dialog, lParam, &state->selection))
            DrawColorsDlgSwatch(dialog, state->selection);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        if (state->busy || !MoveSelection(dialog, lParam, &state->selection))
            return TRUE;
        DrawColorsDlgSwatch(dialog, state->selection);
        state->busy = true;
        EditPaletteEntry(state->selection);
        state->busy = false;
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        if (HWND colors = GetFcolorsWindow())
            InvalidateRect(colors, nullptr, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (!state->busy && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

int OpenMoreColorsDialog(HWND dialog, uint16_t* index) {
    if (g_open || !index || !IsAdvancedUser())
        return 0;
    MoreColors state{*index};
    const int position = GridOrderPositionOf(*index);
    g_open = true;
    const INT_PTR result = ResDialogBoxParam(dialog, MoreColorsDlgProc, "MCOLORS", reinterpret_cast<LPARAM>(&state));
    g_open = false;
    if (result != IDOK)
        return 0;
    SetGridOrderEntry(position, state.selection);
    *index = state.selection;
    ReloadFillPatterns();
    return 1;
}

int TrackColorPopup(HWND dialog, DWORD point, int itemId, uint16_t* index, BOOL openMore) {
    const LPARAM packed = static_cast<LPARAM>(point);
    if (!MoveColorGridSelection(dialog, GET_X_LPARAM(packed), GET_Y_LPARAM(packed), itemId, 8, 8, index))
        return 0;
    if (openMore && OpenMoreColorsDialog(dialog, index) == 1)
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return 1;
}
