// Taking over the browser's window at attach, and giving it back at shut-down.
#pragma once

#include <windows.h>

bool AttachPluginWindow(HWND window);
void ShutdownPluginInstance(HWND window);
