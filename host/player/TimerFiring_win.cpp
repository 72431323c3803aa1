// The due timers performed.
#include "host/player/TimerFiring.h"

#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/ui/ToolNumbers.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardNavigation.h"

void FireDueTimers(HWND window, uint32_t timersOn) {
    static bool firing = false;
    // Under an authoring dialog the timers wait: they stay due and go off once it has ended.
    if (firing || !timersOn || !IsBrowseMode() || EditorHolds(HeldScope::kCard))
        return;
    firing = true;
    const TimerTableLock lock;
    const uint32_t generation = TimerTableGeneration();
    for (uint32_t i = 0; i < kTimerTableCapacity; ++i) {
        TimerEntry due;
        if (!TakeDueTimer(i, &due))
            continue;
        if (due.source == kTimerFromAction)
            RunCardAction(due.id, kByEvent, 0, 0);
        else
            DoButtonActions(window, due.id, kByEvent);
        // Left for another card: the entries after this one are that card's now.
        if (TimerTableGeneration() != generation)
            break;
    }
    firing = false;
}
