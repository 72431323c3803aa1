// Module-level accessors: the module instance kept by the DLL entry, and the card window.
#pragma once

#include <windows.h>

HINSTANCE GetAppInstance();
void SetAppInstance(HINSTANCE instance);  // tests that link the code into an .exe set it themselves
HWND GetMainWindow();
