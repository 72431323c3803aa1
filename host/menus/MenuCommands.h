// Running the system's numbered commands: the menus, the context menus and the menu requests
// of actions and modules share the numbers (MenuCommands_win.cpp; number rules in
// MenuCommandRules.h, option flags in MenuOptions.h, menu enabling in MenuUpdate_win.cpp).
#pragma once

#include <windows.h>

// Runs one command; true when a table handled it. source 1: from the keyboard. zoomResult, when
// given, is cleared when the command first left the magnified view.
bool DoMenuCommand(HWND window, int command, int source = 0, int* zoomResult = nullptr);

// Updates one menu of the bar before it is shown; menuIndex is its position in the bar.
void UpdateMenus(HWND window, int menuIndex, HMENU menu, bool systemMenu);
