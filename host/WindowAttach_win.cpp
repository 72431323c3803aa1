// Minimal attach until start-up and the card message handler exist: the handle table is made
// and the window is kept as the card window.
#include "host/WindowAttach.h"

#include "core/Handles.h"
#include "host/PluginModule.h"

namespace {
HWND g_cardWindow = nullptr;
}

HWND GetMainWindow() { return g_cardWindow; }

bool AttachPluginWindow(HWND window) {
    if (!InitMemRefs())
        return false;
    g_cardWindow = window;
    return true;
}

void ShutdownPluginInstance(HWND /*window*/) {
    g_cardWindow = nullptr;
}
