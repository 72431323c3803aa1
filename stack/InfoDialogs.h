// The stack and card information dialogs.
#pragma once

#include <windows.h>

// Runs the card size and colours dialog (mode 97: the open stack's; mode 99: a new stack's):
// 0 when confirmed, with the three values updated; otherwise the dialog's result.
int AskStackSizeAndColors(HWND window, int mode, int* width, int* height, int* depth);
