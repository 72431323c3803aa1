// Requests on memory handles: 15 to 17, 107, 108, 110 to 112 and 114. A handle handed in must
// be a live handle of the table; anything else does nothing. Only the module's own handles are
// freed or resized (RequestArgs.h).
#include <windows.h>

#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"

namespace {

// The handle at [50] when it is a live one, else 0.
Handle HandedIn(const NbaParamBlock& b) {
    const Handle h = static_cast<Handle>(b.param1);
    return h != 0 && IsValidHandle(h) ? h : 0;
}

}  // namespace

void CbNewHandle(NbaParamBlock& b) { b.param1 = static_cast<uint32_t>(GiveToModule(NewHandle(b.param1))); }

void CbLockHandle(NbaParamBlock& b) {
    const Handle h = HandedIn(b);
    b.param1 = h ? BlockValue(LockHandle(h)) : 0;
}

void CbUnlockHandle(NbaParamBlock& b) {
    if (const Handle h = HandedIn(b))
        UnlockHandle(h);
}

void CbDisposeHandle(NbaParamBlock& b) {
    if (const Handle h = ModulesOwnHandle(b.param1))
        DisposeHandle(h);
}

void CbGetHandleGlobal(NbaParamBlock& b) {
    const Handle h = HandedIn(b);
    b.param1 = h ? BlockValue(GetHandleGlobal(h)) : 0;
}

void CbSetHandleSize(NbaParamBlock& b) {
    const Handle h = ModulesOwnHandle(b.param1);
    b.param1 = h && SetHandleSize(h, b.param2) == 0 ? 0 : static_cast<uint32_t>(-1);
}

void CbGetHandleSize(NbaParamBlock& b) {
    const Handle h = HandedIn(b);
    b.param1 = h ? GetHandleSize(h) : 0;
}

void CbGetHandleFlags(NbaParamBlock& b) {
    const Handle h = HandedIn(b);
    // As the system reports a global block's flags: the lock count in the low byte.
    if (!h) {
        b.param1 = 0;
        return;
    }
    const int locks = GetHandleLockCount(h);
    b.param1 = static_cast<uint32_t>(locks > 0xFF ? 0xFF : locks) | (IsHandleDiscarded(h) ? GMEM_DISCARDED : 0);
}

void CbIsHandleDiscarded(NbaParamBlock& b) {
    const Handle h = HandedIn(b);
    b.param1 = h && IsHandleDiscarded(h) ? 1 : 0;
}
