// The LoomLogo workspace resource and closing the stack's resources.
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr uint32_t kWorkspace = ResType("WKSp"), kOldWorkspace = ResType("WkSp");
constexpr int kNbaMessageClose = 2;

bool g_workspaceChanged = false;

// MINIMAL until the language environment and the extension modules install theirs.
Handle NoWorkspace() { return 0; }
void DropWorkspace(Handle text, void*) { DisposeHandle(text); }
void NoModules(int) {}
void NoModuleEntry(void*) {}

ResourceUpkeepNeighbours& Installed() {
    static ResourceUpkeepNeighbours neighbours{NoWorkspace, DropWorkspace, NoModules, NoModuleEntry};
    return neighbours;
}

}  // namespace

const ResourceUpkeepNeighbours& UpkeepNeighbours() { return Installed(); }
void SetResourceUpkeepNeighbours(const ResourceUpkeepNeighbours& neighbours) { Installed() = neighbours; }

void SetWorkspaceChanged(bool changed) { g_workspaceChanged = changed; }
bool IsWorkspaceChanged() { return g_workspaceChanged; }

void SaveWorkspaceResource() {
    const bool changed = g_workspaceChanged;
    g_workspaceChanged = false;
    if (!changed)
        return;
    const Handle text = UpkeepNeighbours().produceWorkspace();
    if (!text)
        return;
    ResRequest request{};
    request.type = kWorkspace;
    request.id = kWorkspaceResourceId;
    request.data = text;
    request.flags = kResRequestCarryOut | kResRequestReplace;
    SetResourceErrorReporting(false);
    WriteStackResource(&request);
    SetResourceErrorReporting(true);
}

void RestoreStackWorkspace(void* cardWindow) {
    Handle copy = 0;
    if (GetStackResFile()) {
        StackResFileCurrent current;
        Handle stored = GetResource(kWorkspace, kWorkspaceResourceId);
        if (!stored)
            stored = GetResource(kOldWorkspace, kWorkspaceResourceId);
        // The environment owns what it is given; the resource file keeps its own.
        copy = stored;
        if (copy && HandToHand(&copy) != 0)
            copy = 0;
    }
    UpkeepNeighbours().loadWorkspace(copy, cardWindow);
}

void CloseStackResources(void* window) {
    if (const int32_t refNum = GetStackResFile()) {
        UpkeepNeighbours().startStackNbas(kNbaMessageClose);
        SaveWorkspaceResource();
        CloseResFile(refNum);
        SetStackResFile(0);
    }
    if (window)
        UpkeepNeighbours().callNbaMainChecked(window);
}
