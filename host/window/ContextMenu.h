// The card's context menu: a right click with an editing tool shows the selected object's own
// commands (or the card's), then the edit commands, then for an object what it does and a
// sub-menu of every kind of action; the chosen item runs as a menu command.
//
//   ContextMenu_win.cpp   ShowCardContextMenu, BuildContextMenu, CopyMenuTree
//   ContextMenuText.cpp   item texts: names filled into "%s", the suffix rule
#pragma once

#include <windows.h>

#include "layers/ObjectLayer.h"
#include "host/menus/MenuCommands.h"  // the item ids

// The right button-up of the card window (message 517): dispatched like a mouse-up; then, with
// an editing tool and no placement in progress, an advanced user gets the menu at the point and
// the chosen command runs through DoMenuCommand. 0 when the menu was offered; otherwise the
// message's default processing.
LRESULT ShowCardContextMenu(HWND window, WPARAM keyState, LPARAM lParam, bool handScrollMode, bool objectsShown);

// The menu for the selected object's layer (0: the card). Item texts come through the resource
// lookup (a resource module first, then the module). Null when any part could not be built.
HMENU BuildContextMenu(HINSTANCE module, LayerHandle selectedObject);

// A new pop-up menu with copies of the source's string items (state and id), separators and
// sub-menus; null when an item of another kind, or a string item without text, is met.
HMENU CopyMenuTree(HMENU source);
