// The spelling checker as the menus reach it.
#pragma once

#include <windows.h>

// The spell checker dialog (command 600). MINIMAL until the spelling engine comes
// (Spelling_win.cpp): nothing happens.
void DoSpellCheckDialog(HWND window);
