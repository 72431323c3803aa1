// MINIMAL LoomLogo services (see Logo.h): no event handler exists, so none consumes a message.
#include "logo/Logo.h"
#include "stack/save/ResourceUpkeep.h"

int LogoCardEvent(HWND, int, UINT, WPARAM, LPARAM) { return 0; }
void OpenLogoRunBox(HWND) {}

namespace {

// The stack keeps the workspace as resource 'WKSp': it is handed here when a stack opens and
// asked for when one is saved.
const bool g_installed = [] {
    ResourceUpkeepNeighbours upkeep = UpkeepNeighbours();
    upkeep.produceWorkspace = SaveLogoWorkspace;
    upkeep.loadWorkspace = [](Handle text, void* window) { LoadLogoWorkspace(window, text); };
    SetResourceUpkeepNeighbours(upkeep);
    return true;
}();

}  // namespace
