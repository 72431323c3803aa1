// The module instance and the windows, kept for every layer.
#include "core/system/PluginModule.h"

namespace {
HINSTANCE g_moduleInstance = nullptr;
HWND g_mainWindow = nullptr;
HWND g_frameWindow = nullptr;
HWND g_cardWindow = nullptr;
}  // namespace

HINSTANCE GetAppInstance() { return g_moduleInstance; }
void SetAppInstance(HINSTANCE instance) { g_moduleInstance = instance; }
HWND GetMainWindow() { return g_mainWindow; }
void SetMainWindow(HWND window) { g_mainWindow = window; }
HWND GetCardWindow() { return g_cardWindow; }
void SetCardWindow(HWND window) { g_cardWindow = window; }
HWND GetFrameWindow() { return g_frameWindow; }
void SetFrameWindow(HWND frame) { g_frameWindow = frame; }
