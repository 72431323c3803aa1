// The favourites' entries and rules, without the dialogs.
#include "host/palettes/Favorites.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "core/text/MacText.h"
#include "format/StackFile.h"

namespace {

void CopyCut(std::string_view text, char* field, size_t size) {
    const size_t end = text.find('\0');
    if (end != std::string_view::npos)
        text = text.substr(0, end);
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

std::string_view FieldText(const char* field, size_t size) { return {field, strnlen(field, size)}; }

}  // namespace

void SetFavoriteEntry(FavoriteEntry* entry, std::string_view path, std::string_view stackName, uint16_t cardId,
                      std::string_view cardName) {
    CopyCut(path, entry->path, sizeof entry->path);
    CopyCut(stackName, entry->stackName, sizeof entry->stackName);
    entry->cardId = cardId;
    CopyCut(cardName, entry->cardName, sizeof entry->cardName);
}

std::string FormatFavorite(const FavoriteEntry& entry, std::string_view cardIdLabel) {
    std::string text(FieldText(entry.stackName, sizeof entry.stackName));
    text += " - ";
    const std::string_view card = FieldText(entry.cardName, sizeof entry.cardName);
    if (!card.empty())
        return text += card;
    text += cardIdLabel;
    return text += std::to_string(entry.cardId);
}

bool SameFavoritePath(std::string_view a, std::string_view b) { return EqualAsciiNoCase(a, b); }

std::string CardListItemText(int position, std::string_view cardName) {
    std::string text = std::to_string(position);
    if (!cardName.empty()) {
        text += " - ";
        text += cardName;
    }
    if (text.size() > 48)
        text.resize(48);
    return text;
}

std::string CardNameOfRecord(std::span<const uint8_t> record) {
    if (record.size() < kCardName + kCardNameBytes)
        return {};
    const size_t length = std::min<size_t>(record[kCardName], kCardNameBytes - 1);
    std::string name(reinterpret_cast<const char*>(record.data() + kCardName + 1), length);
    return name.substr(0, name.find('\0'));
}

bool AddFavorite(std::span<FavoriteEntry> table, int* count, const FavoriteEntry& entry) {
    const int limit = static_cast<int>(std::min<size_t>(table.size(), kMaxFavorites));
    if (*count < 0 || *count >= limit)
        return false;
    const std::string_view path = FieldText(entry.path, sizeof entry.path);
    for (int i = 0; i < *count; ++i) {
        if (table[i].cardId == entry.cardId && SameFavoritePath(FieldText(table[i].path, sizeof table[i].path), path))
            return false;
    }
    table[(*count)++] = entry;
    return true;
}

bool RemoveFavorite(std::span<FavoriteEntry> table, int* count, int index) {
    if (index < 0 || index >= *count || *count > static_cast<int>(table.size()))
        return false;
    std::move(table.begin() + index + 1, table.begin() + *count, table.begin() + index);
    table[--*count] = FavoriteEntry{};
    return true;
}

int ClampFavoriteCount(long stored) { return static_cast<int>(std::clamp<long>(stored, 0, kMaxFavorites)); }

std::string FavoriteKeyName(FavoriteKey key, int index) {
    const char* stem = key == FavoriteKey::kFilePath    ? "FavPath"
                       : key == FavoriteKey::kStack ? "FavStack"
                       : key == FavoriteKey::kCardId ? "FavCardID"
                                                     : "FavCard";
    return stem + std::to_string(index);
}

long ParsePrefNumber(std::string_view text, long fallback) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data() ? value : fallback;
}
