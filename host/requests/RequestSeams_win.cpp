// MINIMAL seams of requests 8 and 151 (RequestSeams.h).
#include "host/requests/RequestSeams.h"

#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"

namespace {

FindTextRequest g_find;
TransitionDialogRequest g_transition;

constexpr uint32_t kDialogCancelled = 2;

int MatchMode(uint32_t options) {
    if ((options & 6) == 6)
        return 1;
    if (options & 2)
        return 4;
    if (options & 4)
        return 2;
    return 0;
}

}  // namespace

const FindTextRequest& LastFindTextRequest() { return g_find; }
const TransitionDialogRequest& LastTransitionDialogRequest() { return g_transition; }

uint32_t TransitionDialogTitle(uint32_t which) {
    constexpr uint32_t kTitles[] = {3002, 3001, 3000};
    return which < 3 ? kTitles[which] : 0;
}

void CbFindText(NbaParamBlock& b) {
    ++g_find.calls;
    g_find.text = CallerPString(b.param1);
    g_find.matchMode = MatchMode(b.param2);
    g_find.option1 = (b.param2 & 1) != 0;
    g_find.option8 = (b.param2 & 8) != 0;
    g_find.keepPrevious = (b.param2 & 16) != 0;
    b.param2 = 0;
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
