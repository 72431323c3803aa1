// The favourites editor: deleting entries from a copy of the table, taken over on OK.
#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string>

#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "host/palettes/Favorites.h"
#include "resources/favorites_ids.h"

namespace {

// The copy the open dialog edits, kept with it (null when it could not be made).
struct EditCopy {
    std::array<FavoriteEntry, kMaxFavorites> entries{};
    int count = 0;
};

EditCopy* CopyOf(HWND dialog) { return DialogStateOf<EditCopy>(dialog); }

bool OpenEditor(HWND dialog, EditCopy* copy) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(copy));
    if (!copy)
        return false;
    const std::span<FavoriteEntry> table = FavoritesTable();
    copy->count = std::min<int>(FavoritesCount(), static_cast<int>(table.size()));
    std::copy_n(table.begin(), copy->count, copy->entries.begin());
    char label[64] = {};
    LoadResString(IDS_FAV_CARD_ID, label, sizeof label);
    for (int i = 0; i < copy->count; ++i) {
        const std::string text = FormatFavorite(copy->entries[i], label);
        SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_SETCURSEL, 0, 0);
    CenterWindowOnScreen(dialog);
    return true;
}

void DeleteSelected(HWND dialog) {
    EditCopy* copy = CopyOf(dialog);
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR || !copy)
        return;  // nothing chosen: nothing goes
    const int index = static_cast<int>(selected);
    if (!RemoveFavorite(copy->entries, &copy->count, index))
        return;
    SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_DELETESTRING, index, 0);
    if (copy->count > 0)
        SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_SETCURSEL, index > 0 ? index - 1 : 0, 0);
}

void TakeCopy(HWND dialog) {
    const EditCopy* copy = CopyOf(dialog);
    const std::span<FavoriteEntry> table = FavoritesTable();
    if (!copy || table.empty())
        return;
    const LRESULT items = SendDlgItemMessageA(dialog, IDC_FAV_LIST, LB_GETCOUNT, 0, 0);
    const int count = std::clamp<int>(items < 0 ? 0 : static_cast<int>(items), 0, copy->count);
    std::copy_n(copy->entries.begin(), count, table.begin());
    std::fill(table.begin() + count, table.end(), FavoriteEntry{});
    SetFavoritesCount(count);
    FillFavoritesList();
}

INT_PTR CALLBACK EditFavoritesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (!OpenEditor(dialog, reinterpret_cast<EditCopy*>(lParam)))
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_FAV_DELETE: DeleteSelected(dialog); return TRUE;
        case IDOK:
            TakeCopy(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR EditFavorites() {
    const std::unique_ptr<EditCopy> copy(new (std::nothrow) EditCopy{});
    return ResDialogBoxParam(GetMainWindow(), EditFavoritesDlgProc, MAKEINTRESOURCEA(IDD_EDIT_FAVORITES),
                             reinterpret_cast<LPARAM>(copy.get()));
}
