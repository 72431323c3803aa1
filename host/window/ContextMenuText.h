// Item texts of the card's context menu: names from the stack filled into "%s", and the suffix
// appended to texts that end in a blank. Platform-free (ContextMenuText.cpp).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The longest item text, in characters.
inline constexpr size_t kMaxContextItemText = 255;

// A length-prefixed name kept in a field of `field.size()` bytes: the length byte clamped to the
// field, the text cut at a NUL.
std::string NameFromField(std::span<const uint8_t> field);
// The pattern with its first "%s" replaced by the name (its '&' doubled, other '%' kept as
// they are), cut to kMaxContextItemText characters.
std::string FillItemName(std::string_view pattern, std::string_view name);
// The text followed by the suffix when the text ends in a blank; cut to kMaxContextItemText.
std::string AppendItemSuffix(std::string_view text, std::string_view suffix);
