// MINIMAL seam of request 151 (RequestSeams.h).
#include "host/requests/RequestSeams.h"

#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"

namespace {

TransitionDialogRequest g_transition;

constexpr uint32_t kDialogCancelled = 2;

}  // namespace

const TransitionDialogRequest& LastTransitionDialogRequest() { return g_transition; }

uint32_t TransitionDialogTitle(uint32_t which) {
    constexpr uint32_t kTitles[] = {3002, 3001, 3000};
    return which < 3 ? kTitles[which] : 0;
}

void CbChooseTransition(NbaParamBlock& b) {
    ++g_transition.calls;
    g_transition.transition = static_cast<int>(b.param1 & 0xFFFF);
    g_transition.speed = static_cast<int>(b.param1 >> 16);
    g_transition.owner = b.param2;
    g_transition.titleId = TransitionDialogTitle(b.param3);
    g_transition.objectKind = static_cast<uint16_t>(b.param4 & 0xFFFF);
    g_transition.objectId = static_cast<uint16_t>(b.param4 >> 16);
    b.param2 = kDialogCancelled;
}
