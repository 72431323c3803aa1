// The browser as the plug-in's lower layers see it: the browser's function table, the instance
// the browser last made and the one the system is attached to, with the first window it gave.
// The entry layer (host/browser/EntryLayer_win.cpp) sets them as the browser calls it.
#pragma once

#include <windows.h>

#include "host/downloads/NpInterface.h"

// The first window the browser gave, as it gave it: handle, x, y, width, height, clip.
struct FirstWindowCopy {
    HWND window;
    int32_t x, y;
    uint32_t width, height;
    NPRect clipRect;
};

NPNetscapeFuncs* GetBrowserFuncs();
NPP GetPluginInstance();
NPP GetAttachedInstance();  // the instance whose window the system runs in; null when none
const FirstWindowCopy& GetFirstWindow();

void SetBrowserFuncs(NPNetscapeFuncs* browser);
void SetPluginInstance(NPP instance);
// The instance the system attaches to and its window as given; null when it detaches.
void SetAttachedInstance(NPP instance, const FirstWindowCopy& window);
void ClearAttachedInstance();
