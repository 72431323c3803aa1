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

// Numbers of the commands the context menu and the Edit menu offer.
inline constexpr UINT kCommandObjectInfo = 300;
inline constexpr UINT kCommandCardInfo = 301;
inline constexpr UINT kCommandStackInfo = 303;
inline constexpr UINT kCommandAddClipArt = 106;
inline constexpr UINT kCommandImportBackgroundItem = 4183;
inline constexpr UINT kCommandStyle = 15867;
inline constexpr UINT kCommandIcons = 15868;
inline constexpr UINT kCommandFeatures = 15869;
inline constexpr UINT kCommandActions = 15870;
inline constexpr UINT kCommandUndo = 150;
inline constexpr UINT kCommandCut = 151;
inline constexpr UINT kCommandCopy = 152;
inline constexpr UINT kCommandPaste = 153;
inline constexpr UINT kCommandClear = 154;
inline constexpr UINT kCommandCutCard = 158;
inline constexpr UINT kCommandCopyCard = 159;
