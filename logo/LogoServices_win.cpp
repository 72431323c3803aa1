// MINIMAL LoomLogo services (see Logo.h): no event handler exists, so none consumes a message,
// and an action's script is neither run nor edited (what it was given is kept for tests).
#include "logo/Logo.h"

#include <optional>

namespace {
LogoScriptRuns g_scriptRuns;
std::optional<std::vector<uint8_t>> g_nextEdit;
}  // namespace

int LogoCardEvent(HWND, int, UINT, WPARAM, LPARAM) { return 0; }
void OpenLogoRunBox(HWND) {}
int RunLogoAction(HWND, Handle script, int edit, Rect32*) {
    ++g_scriptRuns.count;
    g_scriptRuns.lastScript = HandleToBytes(script);
    g_scriptRuns.lastEdit = edit;
    return 0;
}
const LogoScriptRuns& GetLogoScriptRuns() { return g_scriptRuns; }

void SetNextLogoEdit(const std::vector<uint8_t>& script) {
    g_nextEdit = script;
}

int EditLogoActionScript(HWND, Handle* script, Rect32*) {
    if (!g_nextEdit || !script)
        return 0;
    Handle edited = NewHandleFromBytes(*g_nextEdit);
    g_nextEdit.reset();
    if (!edited)
        return 0;
    if (*script)
        DisposeHandle(*script);
    *script = edited;
    return 1;
}
