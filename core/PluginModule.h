// Module-level accessors: the module instance kept by the DLL entry, through which the module's
// resources load, and the card window the plug-in attached to.
#pragma once

#include <windows.h>

HINSTANCE GetAppInstance();
void SetAppInstance(HINSTANCE instance);  // tests that link the code into an .exe set it themselves
HWND GetMainWindow();
void SetMainWindow(HWND window);  // set at attach, cleared at shut-down
