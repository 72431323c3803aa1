// Module-level accessors: the module instance kept by the DLL entry, through which the module's
// resources load, the window the plug-in attached to, and the card window.
#pragma once

#include <windows.h>

HINSTANCE GetAppInstance();
void SetAppInstance(HINSTANCE instance);  // tests that link the code into an .exe set it themselves
HWND GetMainWindow();
void SetMainWindow(HWND window);  // set at attach, cleared at shut-down
// The window the card offscreen was last made for (InitDataBase sets it); null before.
HWND GetCardWindow();
void SetCardWindow(HWND window);
// The top-level frame window that owns the main menu. The plug-in has none (the card window is
// the browser's), so it stays null there; a program that owns a frame sets it.
HWND GetFrameWindow();
void SetFrameWindow(HWND frame);
