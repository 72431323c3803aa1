#include "tests/support/StackReporter_win.h"

#include <windows.h>

#include <cstdlib>

#include "tests/support/browser/BrowserRun_win.h"

std::string StackReporterPath() {
    if (const char* build = std::getenv("LOOM_BUILD"); build && *build)
        return browsertest::WindowsPath(std::string(build) + "/tools/stackreport/stackreport.exe");
    char exe[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string beside(exe, n < MAX_PATH ? n : 0);
    return beside.substr(0, beside.find_last_of("\\/") + 1) + "tools\\stackreport\\stackreport.exe";
}
