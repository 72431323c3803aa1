// The library's entry and exports. LOOM_QUICKTIME=absent in the environment makes the library
// refuse to load, as on a machine without QuickTime.
#include <windows.h>

#include <cstring>

#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInEffects.h"
#include "quicktime/dll/StandInMovies_win.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        char value[16] = {};
        const DWORD n = GetEnvironmentVariableA("LOOM_QUICKTIME", value, sizeof value);
        if (n > 0 && n < sizeof value && lstrcmpiA(value, "absent") == 0)
            return FALSE;
        InstallStandInWindowsProcs();
        InstallStandInMovieOutputs();
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        ReleaseStandInMovieOutputs();  // freed while the process goes on: no sound plays from freed memory
    }
    return TRUE;
}

intptr_t QtStandInDispatcher(uint32_t selector, const QtWord* args) { return StandInDispatch(selector, args); }
intptr_t QtStandInCallComponent(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}
intptr_t QtStandInCallWithStorage(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}

}  // extern "C"
