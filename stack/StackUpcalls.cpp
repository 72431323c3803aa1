// The stack layer's upcalls and their defaults.
#include "stack/StackUpcalls.h"

#include "core/system/DefaultProcs.h"
#include "stack/StackOpenSession.h"

namespace {

void Nothing() {}

}  // namespace

StackUpcalls DefaultStackUpcalls() {
    StackUpcalls u{};
    u.restoreSnapshot = [](DibHandle) {};
    u.remapFrameAnimColors = [](Handle, uint32_t, void*) {};
    u.renderCardToDib = [] { return DibHandle{0}; };

    u.goToCardId = [](uint16_t id, int, int, int) { SetCurrentCardId(id); };
    u.refreshCurrentCard = [](int) {};
    u.eraseCardBackground = [](int) {};
    u.runCardAction = [](uint16_t, ActionOrigin, int, uint32_t) { return 0; };

    u.stackEvent = [](StackEvent) {};  // nobody above keeps state with the stack
    u.askCardSizeForNewStack = [](int*, int*, int*) { return 1; };  // the current values stay

    u.produceWorkspace = [] { return Handle{0}; };
    u.loadWorkspace = [](Handle text) { DisposeHandle(text); };

    u.rebuildLayers = Nothing;
    u.syncCardFromLayers = Nothing;
    u.deselectObject = Nothing;
    return u;
}

const StackUpcalls& GetStackUpcalls() { return InstalledTable<StackUpcalls, DefaultStackUpcalls>(); }
void SetStackUpcalls(const StackUpcalls& upcalls) { InstalledTable<StackUpcalls, DefaultStackUpcalls>() = upcalls; }
