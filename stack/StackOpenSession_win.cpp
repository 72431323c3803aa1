// The open stack's name and home as Windows gives them: the title's name and the home stack's
// names come from the module's strings.
#include <windows.h>

#include "core/files/FileSlots.h"
#include "core/ui/Resources.h"
#include "stack/StackOpenSession.h"
#include "stack/StackUpcalls.h"

bool IsHomeStackName(const char* name) {
    if (!name || !name[0])
        return false;
    for (uint32_t id = kStringHomeStackNames; id < kStringHomeStackNames + 100; ++id) {
        char candidate[kFileSpecNameSize] = {};
        if (LoadResString(id, candidate, sizeof candidate) <= 0 || candidate[0] == '*')
            return false;
        if (lstrcmpiA(candidate, name) == 0)
            return true;
    }
    return false;
}

void RememberHomeStack() {
    if (!IsHomeStackName(GetStackName()))
        return;
    CopyFileSpec(kSlotCurrentStack, kSlotHomeStack);
    SetHomeStackKnown(true);
    SetHomeCardId(0);
}

void SetStackName(const char* name) {
    StoreStackName(name);
    GetStackUpcalls().stackEvent(StackEvent::UpdatingCardTitle);
}

void SetStackNameFromDefault() {
    char name[kFileSpecNameSize] = {};
    LoadResString(kStringUntitled, name, sizeof name);
    SetStackName(name);
}
