// The favourites editor: deleting entries from a copy of the table, taken over on OK.
#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string>

#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "host/dialogs/Favorites.h"
#include "resources/favorites_ids.h"

namespace {

struct EditCopy {
    std::array<FavoriteEntry, kMaxFavorites> entries{};
    int count = 0;
};
std::unique_ptr<EditCopy> g_copy;

bool OpenEditor(HWND dialog) {
    g_copy.reset(new (std::nothrow) EditCopy{});
    if (!g_copy)
        return false;
    const std::span<FavoriteEntry> table = FavoritesTable();
    g_copy->count = std::min<int>(FavoritesCount(), static_cast<int>(table.size()));
    std::copy_n(table.begin(), g_copy->count, g_copy->entries.begin());
    char label[64] = {};
    LoadResString(IDS_FAV_CARD_ID, label, sizeof label);
    for (int i = 0; i < g_copy->count; ++i) {
        const std::string text = FormatFavorite(g_copy->entries[i], label);
        SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_SETCURSEL, 0, 0);
    CenterWindowOnScreen(dialog);
    return true;
}

void DeleteSelected(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || !g_copy)
        return;  // nothing chosen: nothing goes
    const int index = static_cast<int>(selected);
    if (!RemoveFavorite(g_copy->entries, &g_copy->count, index))
        return;
    SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_DELETESTRING, index, 0);
    if (g_copy->count > 0)
        SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_SETCURSEL, index > 0 ? index - 1 : 0, 0);
}

void TakeCopy(HWND dialog) {
    const std::span<FavoriteEntry> table = FavoritesTable();
    if (!g_copy || table.empty())
        return;
    const LRESULT items = SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_GETCOUNT, 0, 0);
    const int count = std::clamp<int>(items < 0 ? 0 : static_cast<int>(items), 0, g_copy->count);
    std::copy_n(g_copy->entries.begin(), count, table.begin());
    std::fill(table.begin() + count, table.end(), FavoriteEntry{});
    SetFavoritesCount(count);
    FillFavoritesList();
}

}  // namespace

INT_PTR EditFavorites() {
    return ResDialogBoxParam(GetMainWindow(), EditFavoritesDlgProc, MAKEINTRESOURCEA(IDD_EDIT_FAVORITES), 0);
}

INT_PTR CALLBACK EditFavoritesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (!OpenEditor(dialog))
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FAV_DELETE: DeleteSelected(dialog); return TRUE;
        case IDOK:
            TakeCopy(dialog);
            g_copy.reset();
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            g_copy.reset();
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    case WM_DESTROY:
        g_copy.reset();
        return FALSE;
    default:
        return FALSE;
    }
}
