// The DLL entry: keeps the module instance, through which the module's resources load.
#include <windows.h>

#include "core/system/PluginModule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH)
        SetAppInstance(instance);
    else if (reason == DLL_PROCESS_DETACH)
        SetAppInstance(nullptr);
    return TRUE;
}
