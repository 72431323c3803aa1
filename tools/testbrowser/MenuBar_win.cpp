// The page's menu bar: the plug-in's own main menu, loaded from its module as a browser
// extension that carries the plug-in's commands would. A menu about to open is handed to the
// card to be brought up to date, and a chosen item goes to the card as a menu command, as
// --command sends it. --menu picks an item by keys, as a person does without the mouse.
#include <windows.h>

#include <cctype>
#include <string>

#include "TestBrowser.h"

namespace {

// The plug-in's menu resource that the bar shows.
constexpr char kMainMenu[] = "LM";

std::string MenuText(HMENU menu, int position) {
    char text[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// Without the mnemonic marks and the shortcut after a tab, lower case, trailing dots dropped:
// "&Save Stack\tCtrl+S" and "save stack" are the same item.
std::string Key(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, text.find('\t')))
        if (c != '&')
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!out.empty() && (out.back() == '.' || out.back() == ' '))
        out.pop_back();
    return out;
}

// The letter after a single "&", 0 when the text has none.
char Mnemonic(std::string_view text) {
    for (size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '&')
            return text[i + 1] == '&' ? (++i, '\0') : static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    return 0;
}

bool IsSeparator(HMENU menu, int position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) && (info.fType & MFT_SEPARATOR);
}

// The first item whose text is the wanted one (a menu's title), or begins with it (an item);
// -1 when none.
int FindItem(HMENU menu, const std::string& wanted, bool whole) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (const std::string key = Key(MenuText(menu, i));
            !IsSeparator(menu, i) && (whole ? key == wanted : key.starts_with(wanted)))
            return i;
    return -1;
}

void Stroke(std::vector<BrowserOptions::KeyStroke>& strokes, unsigned char key, unsigned char modifier = 0,
            int menusOpen = 0) {
    BrowserOptions::KeyStroke stroke;
    stroke.menusOpen = menusOpen;
    if (modifier)
        stroke.modifiers.push_back(modifier);
    stroke.key = key;
    strokes.push_back(stroke);
}

// The keys that choose the item at the position of an open menu: its mnemonic when no other
// item shares it, else Down from the first item (the one a menu opened by keys shows chosen)
// and Return, or Right for a sub-menu.
void ChooseKeys(HMENU menu, int position, int level, std::vector<BrowserOptions::KeyStroke>& strokes) {
    const char letter = Mnemonic(MenuText(menu, position));
    int sharing = 0;
    for (int i = 0; letter && i < GetMenuItemCount(menu); ++i)
        sharing += Mnemonic(MenuText(menu, i)) == letter ? 1 : 0;
    if (letter && sharing == 1 && std::isalnum(static_cast<unsigned char>(letter))) {
        Stroke(strokes, static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(letter))), 0, level);
        return;
    }
    const size_t first = strokes.size();
    for (int i = 0; i < position; ++i)
        if (!IsSeparator(menu, i))
            Stroke(strokes, VK_DOWN);
    Stroke(strokes, GetSubMenu(menu, position) ? VK_RIGHT : VK_RETURN);
    strokes[first].menusOpen = level;
}

}  // namespace

void AttachPluginMenuBar(void* frameWindow, void* module) {
    const HWND frame = static_cast<HWND>(frameWindow);
    HMENU bar = module ? LoadMenuA(static_cast<HMODULE>(module), kMainMenu) : nullptr;
    if (!bar)
        return;  // a plug-in without that menu: no bar
    if (!SetMenu(frame, bar)) {
        DestroyMenu(bar);
        return;
    }
    Logf("menu bar(%s) with %d menus", kMainMenu, GetMenuItemCount(bar));
}

int TopMenuPosition(void* frameWindow, void* popup) {
    const HMENU bar = GetMenu(static_cast<HWND>(frameWindow));
    for (int i = 0; bar && i < GetMenuItemCount(bar); ++i)
        if (GetSubMenu(bar, i) == static_cast<HMENU>(popup))
            return i;
    return -1;
}

void UpdatePluginMenu(void* embed, void* popup, int position) {
    // As the window that owns the bar would be told: the menu and its place in the bar.
    SendMessageA(static_cast<HWND>(embed), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                 MAKELPARAM(position, 0));
}

bool MenuPathKeys(void* frameWindow, void* embed, const std::vector<std::string>& path,
                  std::vector<BrowserOptions::KeyStroke>& strokes, std::string& error) {
    strokes.clear();
    HMENU menu = GetMenu(static_cast<HWND>(frameWindow));
    if (!menu || path.size() < 2) {
        error = menu ? "a menu and an item are needed" : "the page has no menu bar";
        return false;
    }
    for (size_t level = 0; level < path.size(); ++level) {
        const std::string wanted = Key(path[level]);
        const int position = FindItem(menu, wanted, level == 0);
        if (position < 0 || wanted.empty()) {
            error = "no item \"" + path[level] + "\"";
            return false;
        }
        if (level == 0) {
            const char letter = Mnemonic(MenuText(menu, position));
            if (!std::isalnum(static_cast<unsigned char>(letter))) {
                error = "the menu \"" + path[0] + "\" has no key";
                return false;
            }
            Stroke(strokes, static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(letter))), VK_MENU);
            // The items read as they will when the menu opens (the Undo item names the last edit).
            if (HMENU sub = GetSubMenu(menu, position))
                UpdatePluginMenu(embed, sub, position);
        } else {
            ChooseKeys(menu, position, static_cast<int>(level), strokes);
        }
        HMENU sub = GetSubMenu(menu, position);
        if (level + 1 < path.size() && !sub) {
            error = "\"" + path[level] + "\" holds no menu";
            return false;
        }
        menu = sub;
    }
    return true;
}

bool MenuClickTarget(void* frameWindow, const std::vector<std::string>& path, void** bar, int* title, void** menu,
                     int* item, std::string& error) {
    const HMENU top = GetMenu(static_cast<HWND>(frameWindow));
    if (!top || path.size() != 2) {
        error = top ? "a menu and one of its items are needed" : "the page has no menu bar";
        return false;
    }
    *bar = top;
    *title = FindItem(top, Key(path[0]), true);
    const HMENU sub = *title >= 0 ? GetSubMenu(top, *title) : nullptr;
    *menu = sub;
    *item = sub ? FindItem(sub, Key(path[1]), false) : -1;
    if (!sub || *item < 0 || GetSubMenu(sub, *item)) {
        error = "no item \"" + path[0] + "|" + path[1] + "\"";
        return false;
    }
    return true;
}
