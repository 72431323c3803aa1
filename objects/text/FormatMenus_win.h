// The Format menu's font, size, style and align submenus. The lists and checks are kept here
// and written into whichever Format menu is about to show (the plug-in loads its bar afresh).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "objects/text/ApplyTextStyle_win.h"

// Submenu positions inside the Format menu.
enum FormatSubmenu { kRecentFontsMenu = 0, kDeliveredFontsMenu = 1, kSizeMenu = 2, kStyleMenu = 3, kAlignMenu = 4 };
inline constexpr int kFirstRecentItem = 1100, kFirstDeliveredItem = 1150, kFirstSizeItem = 1300;
inline constexpr int kPlainItem = 1375, kLeftItem = 1379;

// The name lists on first use (Arial made the most recent), the font and size submenus
// filled, and the checks set.
void BuildFontMenus(HMENU formatMenu);
// The name lists and size items go (shut-down); the next use builds them again.
void FreeFontMenuLists();
// The face to the front of the recent list (at most 12).
void AddRecentFont(std::string_view face);
// The size items of the current face.
void BuildSizeMenu();
void SyncFontMenuChecks(HMENU formatMenu);
// The lists as the submenus show them.
std::vector<std::string> RecentFontItems();
std::vector<std::string> DeliveredFontItems();
std::vector<int> SizeItems();

// 1100 + i and 1150 + i; 1300 + i; 1375-1378; 1379-1381. Each applies the current style
// (the caller redraws the paint text as the result asks).
StyleTarget DoFontMenu(int command, bool paintTextTyping);
StyleTarget DoSizeMenu(int command, bool paintTextTyping);
StyleTarget DoStyleMenu(int command, bool paintTextTyping);
StyleTarget DoAlignMenu(int command, bool paintTextTyping);

// Before the Format menu shows: the style of the active field's selection or of a selected
// button's name becomes current, and the menu is brought up to date.
void SyncTextStyleFromSelection(HMENU formatMenu);
