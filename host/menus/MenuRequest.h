// The menu request of actions and extension modules: a menu title and an item text name one
// command of the menu bar (the main bar "LM", or "PageloomLock" while the stack is locked).
#pragma once

#include <windows.h>

#include <string_view>

// The menu whose title equals title (case and "&" ignored) is updated and searched: in the
// fourth menu item is a palette position whose tool is selected, in the sixth a colour number
// (SetToolColorByNumber with the number - 1); in the others the first item whose text, cut at a tab or ".",
// begins with item (trailing dots dropped, case and "&" ignored) runs. False when nothing matched.
bool RunMenuRequest(HWND window, std::string_view title, std::string_view item);
