#include "objects/fonts/TextStyleMenus.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameNoCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

StyleChecks ToggleStyleItem(StyleChecks checks, int item) {
    switch (item) {
    case 0: return StyleChecks{};
    case 1: checks.bold = !checks.bold; break;
    case 2: checks.italic = !checks.italic; break;
    case 3: checks.underline = !checks.underline; break;
    default: return checks;
    }
    checks.plain = !checks.bold && !checks.italic && !checks.underline;
    return checks;
}

int StyleBitsOf(StyleChecks checks) {
    return (checks.bold ? 1 : 0) | (checks.italic ? 2 : 0) | (checks.underline ? 4 : 0);
}

StyleChecks StyleChecksOf(int bits) {
    StyleChecks checks{.plain = (bits & 7) == 0, .bold = (bits & 1) != 0, .italic = (bits & 2) != 0,
                       .underline = (bits & 4) != 0};
    return checks;
}

std::vector<int> SizesForFace(std::span<const InstalledSize> fonts) {
    std::vector<int> sizes;
    auto add = [&](int points) {
        if (points > 0 && std::ranges::find(sizes, points) == sizes.end())
            sizes.push_back(points);
    };
    for (const InstalledSize& font : fonts) {
        if (font.fontType == kTrueTypeFontType || font.fontType == 0)
            std::ranges::for_each(kStandardSizes, add);
        else
            add(font.points);
    }
    std::ranges::sort(sizes);
    if (sizes.size() > kSizeItemsMax)
        sizes.resize(kSizeItemsMax);
    return sizes;
}

std::optional<size_t> NearestSizeIndex(std::span<const int> sizes, int points) {
    std::optional<size_t> best;
    for (size_t i = 0; i < sizes.size(); ++i)
        if (!best || std::abs(sizes[i] - points) < std::abs(sizes[*best] - points))
            best = i;
    return best;
}

std::optional<int> ParseSizeItem(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '&'))
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end == text.data() || value <= 0)
        return std::nullopt;
    return value;
}

bool FontNameLess(std::string_view a, std::string_view b) {
    return std::ranges::lexicographical_compare(a, b, [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

void AddRecentFont(std::vector<std::string>& recent, std::string_view face) {
    const auto found = std::ranges::find_if(recent, [&](const std::string& name) { return SameNoCase(name, face); });
    if (found != recent.end())
        recent.erase(found);
    recent.insert(recent.begin(), std::string(face));
    if (recent.size() > static_cast<size_t>(kRecentFontsMax))
        recent.resize(kRecentFontsMax);
}

std::vector<std::string> SortedFontNames(std::vector<std::string> names) {
    std::ranges::sort(names, FontNameLess);
    return names;
}

const std::array<std::string_view, 25> kDeliveredFonts = {
    "Algerian",       "Bauhaus 93",      "Bernard MT Condensed", "Braggadocio",   "Britannic Bold",
    "Brush Script MT", "Castellar",      "Colonna MT",           "Cooper Black",  "Curlz MT",
    "Desdemona",      "Footlight MT Light", "Goudy Stout",       "Harrington",    "Jokerman",
    "Juice ITC",      "Kino MT",         "Matura MT Script Capitals", "Mistral",  "Old English Text MT",
    "Playbill",       "Ravie",           "Snap ITC",             "Stencil",       "Wide Latin"};
const std::array<std::string_view, 10> kFirstRecentFonts = {
    "Bauhaus 93", "Brush Script MT", "Cooper Black", "Curlz MT", "Harrington",
    "Jokerman",   "Mistral",         "Playbill",     "Snap ITC", "Stencil"};

std::string FindFamilyNoCase(std::span<const std::string> families, std::string_view name) {
    const auto found = std::ranges::find_if(families, [&](const std::string& f) { return SameNoCase(f, name); });
    return found == families.end() ? std::string() : *found;
}

FontMenuLists ChooseFontMenuLists(std::span<const std::string> families) {
    FontMenuLists lists;
    for (std::string_view name : kDeliveredFonts)
        if (std::string family = FindFamilyNoCase(families, name); !family.empty())
            lists.delivered.push_back(std::move(family));
    if (lists.delivered.empty()) {
        for (std::string_view name : {"arial", "courier new", "ms sans serif"})
            if (std::string family = FindFamilyNoCase(families, name); !family.empty())
                lists.delivered.push_back(std::move(family));
        lists.recent = lists.delivered;
    } else {
        for (const std::string& family : lists.delivered)
            if (std::ranges::any_of(kFirstRecentFonts, [&](std::string_view n) { return SameNoCase(n, family); }))
                lists.recent.push_back(family);
    }
    lists.delivered = SortedFontNames(std::move(lists.delivered));
    lists.recent = SortedFontNames(std::move(lists.recent));
    return lists;
}
