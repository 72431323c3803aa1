#include "host/menus/MenuRequest.h"

#include <cctype>
#include <charconv>
#include <string>

#include "actions/NbaMenu.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/MenuBar.h"
#include "core/ui/Resources.h"
#include "host/menus/MenuCommands.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/palettes/ToolPalette.h"
#include "authoring/cards/ReadyMadeMenu.h"

namespace {

std::string Folded(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '&')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string MenuText(HMENU menu, int position) {
    char buffer[256] = {};
    GetMenuStringA(menu, position, buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
}

// The item's text up to a tab or a ".".
std::string ItemKey(std::string text) {
    const size_t cut = text.find_first_of("\t.");
    if (cut != std::string::npos)
        text.resize(cut);
    return Folded(text);
}

bool ParseNumber(std::string_view text, int* value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end != text.data();
}

struct LoadedBar {
    HMENU menu;
    explicit LoadedBar(const char* name) : menu(ResLoadMenu(name)) {}
    ~LoadedBar() {
        if (menu)
            DestroyMenu(menu);
    }
    LoadedBar(const LoadedBar&) = delete;
    LoadedBar& operator=(const LoadedBar&) = delete;
};

}  // namespace

bool RunMenuRequest(HWND window, std::string_view title, std::string_view item) {
    LoadedBar bar(IsStackLocked() ? "PageloomLock" : "LM");
    if (!bar.menu)
        return false;
    BuildReadyMadeMenuIn(ReadyMadeSubmenuOf(bar.menu));
    AddNbaMenuItems(bar.menu);
    const std::string wantedTitle = Folded(title);
    const int menus = GetMenuItemCount(bar.menu);
    for (int position = 0; position < menus; ++position) {
        if (Folded(MenuText(bar.menu, position)) != wantedTitle)
            continue;
        HMENU menu = GetSubMenu(bar.menu, position);
        if (!menu)
            return false;
        UpdateMenus(window, position, menu, false);
        int number = 0;
        if (position == kToolsMenuPosition) {
            if (!ParseNumber(item, &number))
                return false;
            SelectToolByIndex(number);
            return true;
        }
        if (position == kColorsMenuPosition) {
            if (!ParseNumber(item, &number))
                return false;
            SetToolColorByNumber(number - 1);
            return true;
        }
        std::string wanted = Folded(item);
        while (!wanted.empty() && wanted.back() == '.')
            wanted.pop_back();
        if (wanted.empty())
            return false;
        const int items = GetMenuItemCount(menu);
        for (int i = 0; i < items; ++i) {
            const UINT id = GetMenuItemID(menu, i);
            if (id == 0 || id == static_cast<UINT>(-1))
                continue;  // separators and sub-menus
            if (ItemKey(MenuText(menu, i)).starts_with(wanted)) {
                DoMenuCommand(window, static_cast<int>(id));
                return true;
            }
        }
        return false;
    }
    return false;
}
