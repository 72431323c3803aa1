// The LoomLogo workspace resource and closing the stack's resources.
#include "stack/save/ResourceUpkeep.h"

#include "stack/StackUpcalls.h"

namespace {

bool g_workspaceChanged = false;

}  // namespace


void SetWorkspaceChanged(bool changed) { g_workspaceChanged = changed; }
bool IsWorkspaceChanged() { return g_workspaceChanged; }

void SaveWorkspaceResource() {
    const bool changed = g_workspaceChanged;
    g_workspaceChanged = false;
    if (!changed)
        return;
    const Handle text = GetStackUpcalls().produceWorkspace();
    if (!text)
        return;
    ResRequest request{};
    request.type = kWksp;
    request.id = kWorkspaceResourceId;
    request.data = text;
    request.flags = kResRequestCarryOut | kResRequestReplace;
    SetResourceErrorReporting(false);
    WriteStackResource(&request);
    SetResourceErrorReporting(true);
}

void RestoreStackWorkspace() {
    Handle copy = 0;
    if (GetStackResFile()) {
        StackResFileCurrent current;
        Handle stored = GetResource(kWksp, kWorkspaceResourceId);
        if (!stored)
            stored = GetResource(kOldWksp, kWorkspaceResourceId);
        // The environment owns what it is given; the resource file keeps its own.
        copy = stored;
        if (copy && HandToHand(&copy) != 0)
            copy = 0;
    }
    GetStackUpcalls().loadWorkspace(copy);
}

void CloseStackResources(void* window) {
    if (const int32_t refNum = GetStackResFile()) {
        GetStackUpcalls().stackEvent(window ? StackEvent::ClosingNbasFinally : StackEvent::ClosingNbas);
        SaveWorkspaceResource();
        CloseResFile(refNum);
        SetStackResFile(0);
    }
    if (window)
        GetStackUpcalls().stackEvent(StackEvent::CallingNbaMain);
}
