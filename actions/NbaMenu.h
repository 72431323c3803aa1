// Menus of extension modules and extras programs.
#pragma once

#include <windows.h>

// Lists the files of a file-spec slot's folder that match the pattern into the menu at the
// position, with command ids counting up from firstId. Nonzero when items were added.
int BuildNbaMenu(HWND frame, int slot, const char* pattern, HMENU menu, int position, int firstId);
