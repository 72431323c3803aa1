// The DLL entry: keeps the module instance, through which the module's resources load.
#include "host/PluginModule.h"

namespace {
HINSTANCE g_moduleInstance = nullptr;
}

HINSTANCE GetAppInstance() { return g_moduleInstance; }
void SetAppInstance(HINSTANCE instance) { g_moduleInstance = instance; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        g_moduleInstance = instance;
    else if (reason == DLL_PROCESS_DETACH)
        g_moduleInstance = nullptr;
    return TRUE;
}
