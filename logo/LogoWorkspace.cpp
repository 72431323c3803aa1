// The LoomLogo workspace, kept as the stored bytes it came in until the interpreter can read
// them: what a stack brings is what its save writes back.
#include "logo/Logo.h"

namespace {
Handle g_workspace = 0;
}  // namespace

void LoadLogoWorkspace(void*, Handle workspace) {
    if (g_workspace && g_workspace != workspace)
        DisposeHandle(g_workspace);
    g_workspace = workspace;
}

Handle SaveLogoWorkspace() {
    if (!g_workspace || GetHandleSize(g_workspace) == 0)
        return 0;
    Handle copy = g_workspace;
    return HandToHand(&copy) == 0 ? copy : 0;
}

void ShutdownLogo() {
    LoadLogoWorkspace(nullptr, 0);
    SelectTurtle(TurtleState{});
}
