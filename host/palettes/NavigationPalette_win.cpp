// The navigation palette: its buttons, the card list and the favourites list, kept in the
// profile file while it is closed.
#include "host/palettes/Favorites.h"

#include <array>
#include <memory>
#include <new>

#include "core/events/ModelessDialogs.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "host/palettes/IconButtons.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackJump.h"
#include "host/state/Preferences.h"
#include "resources/favorites_ids.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"

namespace {

using FavoriteTable = std::array<FavoriteEntry, kMaxFavorites>;

struct FavoritesState {
    HWND window = nullptr;
    std::unique_ptr<FavoriteTable> table;
    int count = 0;
    PalettePlace place{-1, 0};
};
FavoritesState g_fav;

// Fixed icons of buttons 1000-1005.
constexpr int kNavigationIcons[] = {111, 114, 117, 120, 123, 126};
// Menu commands of buttons 1000-1005: previous, next, first, last, back, home.
constexpr int kNavigationCommands[] = {203, 204, 202, 205, 200, 201};

enum : int { kAddItem = 0, kEditItem = 1, kFirstEntryItem = 3 };

bool ReadFavPref(const char* key, std::string* value) {
    char buffer[kPrefValueSize] = {};
    ReadPrefString(kFavoritesSection, key, buffer, sizeof buffer);
    *value = buffer;
    return *value != kPrefMissing;
}

void WriteFavPref(const std::string& key, const std::string& value) {
    WritePrefString(kFavoritesSection, key.c_str(), value.c_str());
}

void LoadFavorites() {
    std::string value;
    if (!ReadFavPref("PosX", &value))
        return;
    g_fav.place.x = static_cast<int>(ParsePrefNumber(value, -1));
    ReadFavPref("PosY", &value);
    g_fav.place.y = static_cast<int>(ParsePrefNumber(value, 0));
    ReadFavPref("FavCount", &value);
    g_fav.count = ClampFavoriteCount(ParsePrefNumber(value, 0));
    for (int i = 0; i < g_fav.count; ++i) {
        std::string path, stack, card, id;
        ReadFavPref(FavoriteKeyName(FavoriteKey::kFilePath, i).c_str(), &path);
        ReadFavPref(FavoriteKeyName(FavoriteKey::kStack, i).c_str(), &stack);
        ReadFavPref(FavoriteKeyName(FavoriteKey::kCard, i).c_str(), &card);
        ReadFavPref(FavoriteKeyName(FavoriteKey::kCardId, i).c_str(), &id);
        const long cardId = ParsePrefNumber(id, 0);
        SetFavoriteEntry(&(*g_fav.table)[i], path, stack, static_cast<uint16_t>(cardId >= 0 && cardId <= 0xFFFF ? cardId : 0),
                         card);
    }
}

void SaveFavorites() {
    WriteFavPref("FavCount", std::to_string(g_fav.count));
    for (int i = 0; i < g_fav.count; ++i) {
        const FavoriteEntry& e = (*g_fav.table)[i];
        WriteFavPref(FavoriteKeyName(FavoriteKey::kFilePath, i), std::string(e.path, strnlen(e.path, sizeof e.path)));
        WriteFavPref(FavoriteKeyName(FavoriteKey::kStack, i), std::string(e.stackName, strnlen(e.stackName, sizeof e.stackName)));
        WriteFavPref(FavoriteKeyName(FavoriteKey::kCardId, i), std::to_string(e.cardId));
        WriteFavPref(FavoriteKeyName(FavoriteKey::kCard, i), std::string(e.cardName, strnlen(e.cardName, sizeof e.cardName)));
    }
    // Groups of entries deleted since the last save go too.
    std::string value;
    for (int i = g_fav.count; i < kMaxFavorites && ReadFavPref(FavoriteKeyName(FavoriteKey::kFilePath, i).c_str(), &value); ++i) {
        for (FavoriteKey key : {FavoriteKey::kFilePath, FavoriteKey::kStack, FavoriteKey::kCardId, FavoriteKey::kCard})
            WritePrefString(kFavoritesSection, FavoriteKeyName(key, i).c_str(), nullptr);
    }
    WriteFavPref("PosX", std::to_string(g_fav.place.x));
    WriteFavPref("PosY", std::to_string(g_fav.place.y));
}

std::string CurrentStackPath() {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(1, sizeof path, path);
    return path;
}

std::string RecordCardName(Handle card) {
    HandleLock lock(card);
    if (!lock)
        return {};
    return CardNameOfRecord(lock.bytes());
}

void AddCurrentCard() {
    const Handle card = GetCurrentCardRecord();
    if (!StackHasFile() || !card)
        return;
    FavoriteEntry entry{};
    SetFavoriteEntry(&entry, CurrentStackPath(), GetStackName() ? GetStackName() : "", GetCardId(card), RecordCardName(card));
    if (AddFavorite(*g_fav.table, &g_fav.count, entry))
        FillFavoritesList();
}

void GoToFavorite(int index) {
    if (index < 0 || index >= g_fav.count)
        return;
    const FavoriteEntry entry = (*g_fav.table)[index];  // the table may change on the way
    const std::string_view path(entry.path, strnlen(entry.path, sizeof entry.path));
    if (StackHasFile() && SameFavoritePath(path, CurrentStackPath())) {
        GoToCardInStack(entry.cardId);
        return;
    }
    FileSpec stack = EmptyFileSpec();
    SetFileSpecPath(&stack, std::string(path).c_str());
    GoToAnotherStack(stack, entry.cardId, {}, true, true);
}

void OnFavoriteChosen(HWND dialog, int item) {
    if (item == kAddItem)
        AddCurrentCard();
    else if (item == kEditItem)
        EditFavorites();
    else if (item >= kFirstEntryItem)
        GoToFavorite(item - kFirstEntryItem);
    if (g_fav.window)
        SendDlgItemMessageA(dialog, IDC_NAV_FAVORITES, CB_SETCURSEL, 0, 0);
    FocusCardWindow();
}

void OnCardChosen(HWND dialog) {
    const LRESULT item = SendDlgItemMessageA(dialog, IDC_NAV_CARDS, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR)
        return;
    const LRESULT id = SendDlgItemMessageA(dialog, IDC_NAV_CARDS, CB_GETITEMDATA, item, 0);
    if (id > 0 && id <= 0xFFFF)
        GoToCardId(static_cast<uint16_t>(id));
    FocusCardWindow();
}

bool OpenPalette(HWND dialog) {
    g_fav.table.reset(new (std::nothrow) FavoriteTable{});
    if (!g_fav.table)
        return false;
    g_fav.window = dialog;
    g_fav.count = 0;
    LoadFavorites();
    PlacePaletteWindow(dialog, &g_fav.place, false);
    FillCardList();
    FillFavoritesList();
    for (int id = IDC_NAV_PREVIOUS; id <= IDC_NAV_HOME; ++id)
        MakeButtonOwnerDrawn(GetDlgItem(dialog, id), true);
    return true;
}

void ClosePalette() {
    if (g_fav.table)
        SaveFavorites();
    RemoveModelessDialog(g_fav.window);
    g_fav.window = nullptr;
    g_fav.table.reset();
    g_fav.count = 0;
}

}  // namespace

void ShowFavorites() {
    const HWND dialog = ShowPalette(g_fav.window, IDD_NAVIGATION, FavoritesDlgProc);
    if (dialog && g_fav.window != dialog) {
        RemoveModelessDialog(dialog);
        DestroyWindow(dialog);  // not initialised: no table
    }
}

INT_PTR CALLBACK FavoritesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OpenPalette(dialog); return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id >= IDC_NAV_PREVIOUS && id <= IDC_NAV_HOME && code == BN_CLICKED) {
            const HWND card = GetMainWindow();
            if (card)
                SendMessageA(card, WM_COMMAND, kNavigationCommands[id - IDC_NAV_PREVIOUS], 0);
            FocusCardWindow();
            return TRUE;
        }
        if (id == IDC_NAV_CARDS && code == CBN_SELCHANGE) {
            OnCardChosen(dialog);
            return TRUE;
        }
        if (id == IDC_NAV_FAVORITES && code == CBN_SELCHANGE) {
            const LRESULT item = SendDlgItemMessageA(dialog, IDC_NAV_FAVORITES, CB_GETCURSEL, 0, 0);
            if (item != CB_ERR && g_fav.table)
                OnFavoriteChosen(dialog, static_cast<int>(item));
            return TRUE;
        }
        return FALSE;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlID >= IDC_NAV_PREVIOUS && item->CtlID <= IDC_NAV_HOME) {
            DrawIconButton(dialog, item, -kNavigationIcons[item->CtlID - IDC_NAV_PREVIOUS]);
            return TRUE;
        }
        return FALSE;
    }
    case WM_MOVE:
        RememberPalettePlace(dialog, g_fav.window, &g_fav.place);
        return FALSE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (g_fav.window == dialog)
            ClosePalette();
        return FALSE;
    default:
        return FALSE;
    }
}

void FillCardList() {
    if (!g_fav.window)
        return;
    const HWND list = GetDlgItem(g_fav.window, IDC_NAV_CARDS);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    const uint16_t current = GetCurrentCardId();
    LRESULT selected = 0;
    int position = 0;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (!card || IsCardDeleted(card))
            continue;
        const std::string text = CardListItemText(++position, RecordCardName(card));
        const LRESULT item = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (item < 0)
            break;
        SendMessageA(list, CB_SETITEMDATA, item, GetCardId(card));
        if (GetCardId(card) == current)
            selected = item;
    }
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void FillFavoritesList() {
    if (!g_fav.window || !g_fav.table)
        return;
    const HWND list = GetDlgItem(g_fav.window, IDC_NAV_FAVORITES);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    char text[256] = {};
    for (uint32_t id : {IDS_FAV_ADD, IDS_FAV_EDIT, IDS_FAV_SEPARATOR}) {
        LoadResString(id, text, sizeof text);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    char label[64] = {};
    LoadResString(IDS_FAV_CARD_ID, label, sizeof label);
    for (int i = 0; i < g_fav.count; ++i) {
        const std::string entry = FormatFavorite((*g_fav.table)[i], label);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

HWND GetFavoritesWindow() { return g_fav.window; }

void CloseFavorites() {
    if (g_fav.window)
        DestroyWindow(g_fav.window);
    g_fav.window = nullptr;
}

std::span<FavoriteEntry> FavoritesTable() {
    if (!g_fav.table)
        return {};
    return *g_fav.table;
}

int FavoritesCount() { return g_fav.count; }

void SetFavoritesCount(int count) { g_fav.count = g_fav.table ? ClampFavoriteCount(count) : 0; }
