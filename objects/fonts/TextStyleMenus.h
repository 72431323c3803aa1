// The Format menu's rules that need no window: the style checks, the size lists and the nearest
// size, the recent fonts and the order of names. Platform-neutral.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kRecentFontsMax = 12;
// The alignments (kTextAlignment) in the order the menu and the dialog list them.
inline constexpr int kAlignments[] = {0, 1, -1};
// Size items run from 1300; 75 of them stop short of the style items at 1375.
inline constexpr size_t kSizeItemsMax = 75;
inline constexpr int kTrueTypeFontType = 4;

// Plain, Bold, Italic, Underline as checked in the Style submenu.
struct StyleChecks {
    bool plain = true, bold = false, italic = false, underline = false;
};
// Item 0 (Plain) checks itself alone; the others toggle, and Plain follows the three.
StyleChecks ToggleStyleItem(StyleChecks checks, int item);
// 1 bold, 2 italic, 4 underline.
int StyleBitsOf(StyleChecks checks);
StyleChecks StyleChecksOf(int bits);

inline constexpr std::array<int, 16> kStandardSizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The sizes of a face from the installed fonts (type and height in points of each): the
// standard sizes for TrueType and type 0, a font's own size otherwise; once each, ascending,
// at most kSizeItemsMax.
struct InstalledSize {
    int fontType = 0;
    int points = 0;
};
std::vector<int> SizesForFace(std::span<const InstalledSize> fonts);
// The index of the size nearest to points (ties: the first); none for an empty list.
std::optional<size_t> NearestSizeIndex(std::span<const int> sizes, int points);
// A size item's text ("%3d"); none when it is no positive number.
std::optional<int> ParseSizeItem(std::string_view text);

// Byte by byte; a prefix sorts first.
bool FontNameLess(std::string_view a, std::string_view b);
// Moves the face (compared without case) to the front; a new one goes in front and the list
// keeps at most kRecentFontsMax.
void AddRecentFont(std::vector<std::string>& recent, std::string_view face);
// The list's copy in name order, as the submenu shows it.
std::vector<std::string> SortedFontNames(std::vector<std::string> names);

// The decorative fonts delivered with the product: the 25 the second font submenu may offer, and
// the 10 of them the first one starts with.
extern const std::array<std::string_view, 25> kDeliveredFonts;
extern const std::array<std::string_view, 10> kFirstRecentFonts;
// The two font lists from the installed families: the installed delivered fonts (sorted) and
// the first-recent ones among them; when none is installed both hold "arial", "courier new"
// and "ms sans serif" as the installed families spell them (those installed).
struct FontMenuLists {
    std::vector<std::string> recent;
    std::vector<std::string> delivered;
};
FontMenuLists ChooseFontMenuLists(std::span<const std::string> families);
// The family that equals the name without case; empty when none.
std::string FindFamilyNoCase(std::span<const std::string> families, std::string_view name);
