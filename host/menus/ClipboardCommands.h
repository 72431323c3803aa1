// The Edit menu's undo and clipboard commands: 150 Undo, 151 Cut, 152 Copy, 153 Paste, 154 Clear,
// 157 Delete Card, 158 Cut Card, 159 Copy Card.
#pragma once

#include <windows.h>

// True when the command was one of these (and was run).
bool RunClipboardCommand(HWND window, int command);
