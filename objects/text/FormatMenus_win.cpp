#include "objects/text/FormatMenus_win.h"

#include <cstdio>
#include <cstdlib>

#include "layers/ObjectLayer.h"
#include "graphics/palette/AppPalette.h"
#include "objects/ObjectServices.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/fonts/TextStyleMenus.h"
#include "objects/text/TextFields.h"

namespace {

bool g_listsBuilt = false;
std::vector<std::string> g_recent;     // most recent first
std::vector<std::string> g_delivered;  // sorted
std::vector<int> g_sizes;

std::string CurrentFace() { return GetCurrentStyleInfo().face; }

bool SameFace(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                  b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string SizeText(int points) {
    char text[16];
    std::snprintf(text, sizeof text, "%3d", points);
    return text;
}

// Replaces a submenu's items by the texts from the first id on; an empty list keeps the
// resource's placeholder.
void FillSubmenu(HMENU formatMenu, int position, int firstId, const std::vector<std::string>& texts) {
    HMENU menu = formatMenu ? GetSubMenu(formatMenu, position) : nullptr;
    if (!menu || texts.empty())
        return;
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    for (size_t i = 0; i < texts.size(); ++i)
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(firstId + static_cast<int>(i)), texts[i].c_str());
}

void CheckItem(HMENU menu, int id, bool on) {
    if (menu)
        CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void BuildListsOnce() {
    if (g_listsBuilt)
        return;
    const FontMenuLists lists = ChooseFontMenuLists(GetInstalledFamilies());
    g_recent = lists.recent;
    g_delivered = lists.delivered;
    g_listsBuilt = true;
    AddRecentFont("Arial");
    BuildSizeMenu();
}

// The size nearest to the current one becomes current (ties: the first item).
void ChooseNearestSize() {
    const std::optional<size_t> nearest = NearestSizeIndex(g_sizes, GetCurrentStyleInfo().size);
    if (nearest)
        SetCurrentSize(ParseSizeItem(SizeText(g_sizes[*nearest])).value_or(GetCurrentStyleInfo().size));
}

}  // namespace

std::vector<std::string> RecentFontItems() { return SortedFontNames(g_recent); }
std::vector<std::string> DeliveredFontItems() { return g_delivered; }
std::vector<int> SizeItems() { return g_sizes; }

void FreeFontMenuLists() {
    g_listsBuilt = false;
    g_recent = {};
    g_delivered = {};
    g_sizes = {};
}

void AddRecentFont(std::string_view face) {
    if (!face.empty())
        AddRecentFont(g_recent, face);
}

void BuildSizeMenu() {
    std::vector<InstalledSize> sizes;
    const std::string face = CurrentFace();
    const InstalledFont* mapped = FindInstalledFont(face);
    const std::string family = mapped ? mapped->logFont.lfFaceName : face;
    for (const InstalledFont& font : GetInstalledFonts())
        if (SameFace(font.logFont.lfFaceName, family))
            sizes.push_back({font.fontType, PixelsToPoints(std::abs(static_cast<int>(font.logFont.lfHeight)))});
    g_sizes = SizesForFace(sizes);
}

void SyncFontMenuChecks(HMENU formatMenu) {
    if (!formatMenu)
        return;
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    const std::vector<std::string> recent = RecentFontItems();
    for (size_t i = 0; i < recent.size(); ++i)
        CheckItem(formatMenu, kFirstRecentItem + static_cast<int>(i), SameFace(recent[i], style.face));
    for (size_t i = 0; i < g_delivered.size(); ++i)
        CheckItem(formatMenu, kFirstDeliveredItem + static_cast<int>(i), SameFace(g_delivered[i], style.face));
    for (size_t i = 0; i < g_sizes.size(); ++i)
        CheckItem(formatMenu, kFirstSizeItem + static_cast<int>(i), g_sizes[i] == style.size);
    const StyleChecks checks = StyleChecksOf(style.styleBits);
    CheckItem(formatMenu, kPlainItem, checks.plain);
    CheckItem(formatMenu, kPlainItem + 1, checks.bold);
    CheckItem(formatMenu, kPlainItem + 2, checks.italic);
    CheckItem(formatMenu, kPlainItem + 3, checks.underline);
    for (int i = 0; i < 3; ++i)
        CheckItem(formatMenu, kLeftItem + i, kAlignments[i] == style.alignment);
}

void BuildFontMenus(HMENU formatMenu) {
    BuildListsOnce();
    FillSubmenu(formatMenu, kRecentFontsMenu, kFirstRecentItem, RecentFontItems());
    FillSubmenu(formatMenu, kDeliveredFontsMenu, kFirstDeliveredItem, g_delivered);
    std::vector<std::string> sizes;
    for (int size : g_sizes)
        sizes.push_back(SizeText(size));
    FillSubmenu(formatMenu, kSizeMenu, kFirstSizeItem, sizes);
    SyncFontMenuChecks(formatMenu);
}

StyleTarget DoFontMenu(int command, bool paintTextTyping) {
    BuildListsOnce();
    std::string face;
    if (command >= kFirstDeliveredItem && command < kFirstSizeItem) {
        const size_t i = static_cast<size_t>(command - kFirstDeliveredItem);
        if (i < g_delivered.size())
            face = g_delivered[i];
    } else if (command >= kFirstRecentItem) {
        const std::vector<std::string> recent = RecentFontItems();
        const size_t i = static_cast<size_t>(command - kFirstRecentItem);
        if (i < recent.size())
            face = recent[i];
    }
    if (face.empty())
        return StyleTarget::NotApplied;
    AddRecentFont(face);
    SetCurrentFace(face);
    BuildSizeMenu();
    ChooseNearestSize();
    return ApplyCurrentStyle(paintTextTyping);
}

StyleTarget DoSizeMenu(int command, bool paintTextTyping) {
    BuildListsOnce();
    const size_t i = static_cast<size_t>(command - kFirstSizeItem);
    if (command < kFirstSizeItem || i >= g_sizes.size())
        return StyleTarget::NotApplied;
    // An item that is not a number changes nothing.
    const std::optional<int> points = ParseSizeItem(SizeText(g_sizes[i]));
    if (!points)
        return StyleTarget::NotApplied;
    SetCurrentSize(*points);
    return ApplyCurrentStyle(paintTextTyping);
}

StyleTarget DoStyleMenu(int command, bool paintTextTyping) {
    if (command < kPlainItem || command > kPlainItem + 3)
        return StyleTarget::NotApplied;
    const StyleChecks checks = ToggleStyleItem(StyleChecksOf(GetCurrentStyleInfo().styleBits), command - kPlainItem);
    SetCurrentStyleBits(StyleBitsOf(checks));
    return ApplyCurrentStyle(paintTextTyping);
}

StyleTarget DoAlignMenu(int command, bool paintTextTyping) {
    const int item = command - kLeftItem;
    if (item < 0 || item > 2)
        return StyleTarget::NotApplied;
    SetCurrentAlignment(kAlignments[item]);
    return ApplyCurrentStyle(paintTextTyping);
}

void SyncTextStyleFromSelection(HMENU formatMenu) {
    const LayerHandle active = GetActiveTextField();
    const LayerHandle selected = GetSelectedObject();
    if (active) {
        HWND window = nullptr;
        {
            LayerLock<FieldLayer> field(active);
            if (field)
                window = field->window;
        }
        if (window) {
            if (const std::string face = TextGetFontName(window); !face.empty())
                SetCurrentFace(face);
            if (const int points = TextGetSize(window, TextScope::Selection); points > 0)
                SetCurrentSize(points);
            SetCurrentAlignment(TextGetAlignment(window));
            SetTextColorIndex(FindPaletteIndexOfColor(GetAppPalette(), TextGetColor(window, TextScope::Selection)));
        }
    } else if (selected) {
        LayerLock<ButtonLayer> button(selected);
        if (button && button->common.kind == kObjectButton) {
            SetCurrentFace(button->font.lfFaceName);
            const int pixels = std::abs(static_cast<int>(button->font.lfHeight));
            if (pixels > 0)
                SetCurrentSize(PixelsToPoints(pixels));
            SetCurrentStyleBits((button->font.lfWeight >= FW_BOLD ? 1 : 0) | (button->font.lfItalic ? 2 : 0) |
                                (button->font.lfUnderline ? 4 : 0));
            SetTextColorIndex(button->colorIndex);
        }
    }
    BuildListsOnce();
    BuildSizeMenu();
    BuildFontMenus(formatMenu);
}
