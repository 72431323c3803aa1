// The module instance and the windows, kept for every layer.
#include "core/system/PluginModule.h"

namespace {
// The module and the windows it lives in, set once each by the browser's calls.
struct PluginPlace {
    HINSTANCE moduleInstance = nullptr;
    HWND mainWindow = nullptr;
    HWND frameWindow = nullptr;
    HWND cardWindow = nullptr;
} g_place;
}  // namespace

HINSTANCE GetAppInstance() { return g_place.moduleInstance; }
void SetAppInstance(HINSTANCE instance) { g_place.moduleInstance = instance; }
HWND GetMainWindow() { return g_place.mainWindow; }
void SetMainWindow(HWND window) { g_place.mainWindow = window; }
HWND GetCardWindow() { return g_place.cardWindow; }
void SetCardWindow(HWND window) { g_place.cardWindow = window; }
HWND GetFrameWindow() { return g_place.frameWindow; }
void SetFrameWindow(HWND frame) { g_place.frameWindow = frame; }
