// The Extras menu: the Extras modules ("*.xtr" in the extras folder) that answer the listing
// message, then the Extras programs named in the registry, with command ids from 450. The list
// is made once (at start-up or first use) and its items go into every menu bar loaded.
#pragma once

#include <windows.h>

#include <string>

#include "core/ui/MenuBar.h"

inline constexpr int kNbaMenuFirstCommand = 450;
inline constexpr int kNbaMenuCapacity = 50;
inline constexpr int kExtrasEntryText = 33;

// Makes the list when there is none (the slot's folder, files matching the pattern, at most
// capacity entries), then appends its items to submenu `position` of the menu and redraws the
// frame's bar. True when the menu received items.
bool BuildNbaMenu(HWND frame, int slot, const char* pattern, HMENU menu, int position, int capacity);
// The same for a bar loaded from the resources (the Extras list of slot 17, "*.xtr").
bool AddNbaMenuItems(HMENU bar);
// Commands 450 to 499: runs the entry's module with message 4 (the module stays loaded while
// it answers 0) or its program. False for another id or no entry.
bool RunNbaCommand(HWND window, int commandId);
// Message 2 to each loaded module, then the list goes.
void FreeNbaMenu();
void FreeNbaMenuIf(int flag);
// Starts the Extras program of that registry name: true when it started.
bool RunExtrasApplication(const char* name);

// What the list holds, for tests: the menu text of the entry with the command id ("" none).
std::string NbaMenuEntryText(int commandId);
bool IsNbaMenuModuleLoaded(int commandId);
