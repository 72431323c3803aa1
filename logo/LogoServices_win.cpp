// MINIMAL LoomLogo services (see Logo.h): no event handler exists, so none consumes a message,
// and an action's script is neither run nor edited (what it was given is kept for tests).
#include "logo/Logo.h"

namespace {
LogoScriptRuns g_scriptRuns;
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
