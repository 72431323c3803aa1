// The "MCOLORS" dialog: the whole palette as a 16 x 16 grid, for choosing what a cell of the
// 8 x 8 grid shows.
#include <windowsx.h>

#include "core/system/PreferenceFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "resources/palette_ids.h"

namespace {

constexpr int kMoreColorsGridSide = 16;

uint16_t g_selection = 0;
bool g_open = false;
bool g_busy = false;  // while the colour chooser runs from a double click

void FillSwatch(HDC dc, const RECT& rect) {
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(PaletteIndexToColor(g_selection)));
    FillRect(dc, &rect, brush.get());
}

// The grid and the swatch are owner-drawn, so they are drawn whenever their items paint.
bool DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDC_MCOLORS_GRID)
        DrawColorGridItem(item.hwndItem, item.hDC, kMoreColorsGridSide, kMoreColorsGridSide, g_selection);
    else if (item.CtlID == IDC_MCOLORS_SWATCH)
        FillSwatch(item.hDC, item.rcItem);
    else
        return false;
    return true;
}

bool MoveSelection(HWND dialog, LPARAM point) {
    return MoveColorGridSelection(dialog, GET_X_LPARAM(point), GET_Y_LPARAM(point), IDC_MCOLORS_GRID, kMoreColorsGridSide,
                                  kMoreColorsGridSide, &g_selection) != 0;
}

}  // namespace

void DrawColorsDlgSwatch(HWND dialog) {
    HWND item = GetDlgItem(dialog, IDC_MCOLORS_SWATCH);
    RECT client;
    if (!item || !GetClientRect(item, &client))
        return;
    WindowDC dc(item);
    if (dc)
        FillSwatch(dc.get(), client);
}

INT_PTR CALLBACK MoreColorsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        g_busy = false;
        CenterWindowOnScreen(dialog);
        return TRUE;
    case WM_DRAWITEM:
        return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_LBUTTONDOWN:
        if (!g_busy && MoveSelection(dialog, lParam))
            DrawColorsDlgSwatch(dialog);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        if (g_busy || !MoveSelection(dialog, lParam))
            return TRUE;
        DrawColorsDlgSwatch(dialog);
        g_busy = true;
        EditPaletteEntry(g_selection);
        g_busy = false;
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        if (HWND colors = GetFcolorsWindow())
            InvalidateRect(colors, nullptr, TRUE);
        return TRUE;
    case WM_COMMAND:
        if (!g_busy && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

int OpenMoreColorsDialog(HWND dialog, uint16_t* index) {
    if (g_open || !index || !IsAdvancedUser())
        return 0;
    g_selection = *index;
    const int position = GridOrderPositionOf(*index);
    g_open = true;
    const INT_PTR result = ResDialogBox(dialog, MoreColorsDlgProc, "MCOLORS");
    g_open = false;
    if (result != IDOK)
        return 0;
    SetGridOrderEntry(position, g_selection);
    *index = g_selection;
    ReloadFillPatterns();
    return 1;
}
