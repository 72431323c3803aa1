// The "Ready Made Cards" submenu and its commands (ReadyMade_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The submenu (item 8 of the Edit menu) of a menu bar; null when the bar has none.
HMENU ReadyMadeSubmenuOf(HMENU bar);
// Fills the submenu of the window's menu bar; without one (the browser gives the plug-in no
// frame menu) the list is built on a copy of the main menu "LM".
void BuildReadyMadeMenu(HWND window);
// The stacks under the "RdyMCard" folder appended to a submenu (the list rebuilt); nothing when
// the folder string is missing.
void BuildReadyMadeMenuIn(HMENU submenu);
// A folder holds a subfolder or a stack file.
bool FolderHasStacks(const std::string& folder);
// Subfolders first (as submenus), then the folder's stacks, ids depth-first from *nextId; at
// most up to id 599, paths under 256 characters.
void AddReadyMadeMenuItems(const std::string& folder, HMENU menu, uint32_t* nextId, int depth);
// Commands 500-599: a new card (500-502) or the import of the listed stack.
void HandleReadyMadeCardMenu(int command);
// The RMCOUNT report: "You have imported <count> cards from the stack <name>".
void ShowImportCount(const char* fileName, int count);
INT_PTR CALLBACK RmCountDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
