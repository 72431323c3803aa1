// The bound on an unattended run. The page's own close waits for the plug-in to come back from
// its calls, on timers of the page's loop; a plug-in that never returns and pumps no messages
// stops those timers too. A thread of its own ends the run then, with a line saying why.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "TestBrowser.h"

namespace {

DWORD WINAPI WatchRun(void* limit) {
    const DWORD ms = static_cast<DWORD>(reinterpret_cast<uintptr_t>(limit));
    Sleep(ms);
    std::fprintf(stderr, "testbrowser: the run has not ended %lu ms after it started (the plug-in %s); giving up\n",
                 static_cast<unsigned long>(ms), IsInPluginCall() ? "is still in a call" : "was not in a call");
    std::fflush(stdout);
    std::fflush(stderr);
    // Not ExitProcess: the stuck thread may hold the loader's lock, which detaching would wait for.
    TerminateProcess(GetCurrentProcess(), kExitPluginStuck);
    return 0;
}

}  // namespace

void StartRunWatchdog(unsigned long ms) {
    HANDLE thread = CreateThread(nullptr, 0, WatchRun, reinterpret_cast<void*>(static_cast<uintptr_t>(ms)), 0, nullptr);
    if (thread)
        CloseHandle(thread);
}
