// The navigation palette (template 102): six navigation buttons, the stack's card list and the
// favourites, cards of any stack kept in section "Favorites" of LMPREFS.INI; and the
// favourites editor (template 103).
//
//   Favorites.cpp       platform-free: the entry, its text, the table's rules, the INI keys
//   NavigationPalette_win.cpp  ShowFavorites, the palette's dialog procedure, its lists, saving
//   FavoritesEdit_win.cpp  EditFavorites and its dialog procedure
//   (placing and raising the palette: host/palettes/PaletteWindows.h)
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "host/palettes/PaletteWindows.h"

inline constexpr int kMaxFavorites = 30;
inline constexpr size_t kFavoritePathBytes = 260;
inline constexpr size_t kFavoriteStackBytes = 64;
inline constexpr size_t kFavoriteCardBytes = 16;
inline constexpr const char* kFavoritesSection = "Favorites";

// One favourite: the stack's path and title name, the card's id and name. NUL-terminated
// texts; longer ones are cut to fit (15 characters of a card name, 63 of a stack name).
struct FavoriteEntry {
    char path[kFavoritePathBytes];
    char stackName[kFavoriteStackBytes];
    uint16_t cardId;
    char cardName[kFavoriteCardBytes];
};
static_assert(sizeof(FavoriteEntry) == 342);

// Fills the entry from its parts, each cut to its field.
void SetFavoriteEntry(FavoriteEntry* entry, std::string_view path, std::string_view stackName, uint16_t cardId,
                      std::string_view cardName);
// The list text: stack name + " - " + card name, or, for a card without a name, stack name +
// " - " + cardIdLabel ("Card ID: ") + the id in decimal.
std::string FormatFavorite(const FavoriteEntry& entry, std::string_view cardIdLabel);
// Two stack paths name the same file when equal without regard to ASCII case.
bool SameFavoritePath(std::string_view a, std::string_view b);
// The card-list item of the card at a 1-based place: "%d", then " - " and the name when it has
// one; at most 48 characters.
std::string CardListItemText(int position, std::string_view cardName);

// The name of a card record (length-prefixed at kCardName, at most 15 characters; the length
// byte is trusted no further than the field and the record).
std::string CardNameOfRecord(std::span<const uint8_t> record);

// The table's rules. An add is refused (false) when the table is full or holds the same card
// of the same stack file already; otherwise the entry is appended and *count grows.
bool AddFavorite(std::span<FavoriteEntry> table, int* count, const FavoriteEntry& entry);
// Removes entry index; later ones move up. False outside 0..count-1 (nothing changes).
bool RemoveFavorite(std::span<FavoriteEntry> table, int* count, int index);
// A stored count as the table takes it: 0 to 30 (text that is no number is 0).
int ClampFavoriteCount(long stored);

// The INI key of an index group: "FavPath%d", "FavStack%d", "FavCardID%d", "FavCard%d".
enum class FavoriteKey { kFilePath, kStack, kCardId, kCard };
std::string FavoriteKeyName(FavoriteKey key, int index);
// A decimal value as the INI holds it; fallback for text that starts with no number.
long ParsePrefNumber(std::string_view text, long fallback);

#ifdef _WIN32
#include <windows.h>

// ---- NavigationPalette_win.cpp ----
// Brings the palette up, or opens it (template 102) over the card window.
void ShowFavorites();
INT_PTR CALLBACK FavoritesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Rebuilds the card list and selects the current card's item (else the first); nothing while
// the palette is closed. Run on opening and by every entered card.
void FillCardList();
// Rebuilds the favourites list, item 0 selected.
void FillFavoritesList();
HWND GetFavoritesWindow();
// Shut-down: the palette destroyed, which saves the favourites.
void CloseFavorites();
// The table while the palette is open (empty otherwise); the editor works on a copy.
std::span<FavoriteEntry> FavoritesTable();
int FavoritesCount();
void SetFavoritesCount(int count);

// ---- FavoritesEdit_win.cpp ----
// Runs template 103 modally over the card window; the dialog's result.
INT_PTR EditFavorites();
#endif
