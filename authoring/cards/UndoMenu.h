// The Undo menu item's text (UndoMenu_win.cpp).
#pragma once

#include <cstddef>

// "Undo", then the step's name (a filter step: the last filter's), then "\tCtrl+Z" when
// withShortcut. True when a step is present.
bool GetUndoMenuText(char* buffer, size_t size, bool withShortcut);
