// Item texts of the card's context menu (ContextMenuText.h).
#include "host/window/ContextMenuText.h"

#include <algorithm>

namespace {

std::string Clamped(std::string text) {
    if (text.size() > kMaxContextItemText)
        text.resize(kMaxContextItemText);
    return text;
}

}  // namespace

std::string NameFromField(std::span<const uint8_t> field) {
    if (field.empty())
        return {};
    const size_t length = std::min<size_t>(field[0], field.size() - 1);
    const auto text = field.subspan(1, length);
    const auto end = std::find(text.begin(), text.end(), uint8_t{0});
    return std::string(text.begin(), end);
}

std::string FillItemName(std::string_view pattern, std::string_view name) {
    const size_t at = pattern.find("%s");
    if (at == std::string_view::npos)
        return Clamped(std::string(pattern));
    std::string text(pattern.substr(0, at));
    // A menu takes '&' for a mnemonic: doubled, the name shows as written.
    for (char c : name) {
        if (c == '&')
            text += '&';
        text += c;
    }
    text += pattern.substr(at + 2);
    return Clamped(std::move(text));
}

std::string AppendItemSuffix(std::string_view text, std::string_view suffix) {
    std::string item(text);
    if (!item.empty() && item.back() == ' ')
        item += suffix;
    return Clamped(std::move(item));
}
