// The periodic tick.
#include "host/window/PeriodicTick.h"

#include "actions/Animations.h"
#include "actions/NbaEvents.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/DownloadReplay.h"
#include "host/player/TimerFiring.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "objects/ResizeTracking.h"
#include "objects/graphics/GraphicPlacing.h"
#include "paint/Selections.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

uint32_t g_tickCounter = 0;
uint32_t g_timerButtonSetting = 1;

// The stack's timers word, or the last setting when no stack is open.
uint32_t StackTimerSetting() {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    if (!lock || GetHandleSize(header) < kStackHeaderBytes)
        return g_timerButtonSetting;
    return GetU16({lock.get(), kStackHeaderBytes}, kHeaderTimersAndLinks);
}

}  // namespace

bool OnCardTimer(HWND window, UINT_PTR timerId, LPARAM /*lParam*/) {
    if (timerId == kCursorTimerId) {
        StepAnimatedCursor();
        return true;
    }
    if (timerId != kPeriodicTimerId)
        return false;
    PeriodicTick(window);
    return true;
}

void PeriodicTick(HWND window) {
    if (++g_tickCounter > 4)
        g_tickCounter = 0;
    // A tracked rectangle shows its frame while no button is held on it.
    RECT tracked;
    if (ReadTrackState(&tracked, nullptr, nullptr, nullptr) && CurrentTrackState().rect)
        DrawSelectionFrame(window, tracked.left, tracked.top, tracked.right, tracked.bottom,
                           static_cast<int>(g_tickCounter));
    else {
        DrawPlacedGraphicFrame(window, static_cast<int>(g_tickCounter));
        DrawPlacedTextFieldFrame(window, static_cast<int>(g_tickCounter));
        DrawPlacedButtonFrame(window, static_cast<int>(g_tickCounter));
    }
    DrawSelectedObjectFrame(window, static_cast<int>(g_tickCounter));
    // What waited for the authoring dialogs to end (a move, an open, a jump) runs now.
    RunHeldWork();
    if (GetCurrentTool() == kBrowseTool) {
        RunFrameAnimQueue(window, GetCardClipRegion());
        g_timerButtonSetting = StackTimerSetting();
        // Under an authoring dialog the card's timers wait, their time not counted: they go off
        // once it has ended.
        if (TickTimerTable(EditorHolds(HeldScope::kCard) ? 0 : g_timerButtonSetting))
            FireDueTimers(window, g_timerButtonSetting);
    } else {
        g_timerButtonSetting = 0;
        // The time spent in another tool is not counted: a card entered there starts its timers
        // on the return to browse, not at once.
        TickTimerTable(g_timerButtonSetting);
    }
    NotifyStackNBAs(kNbaEventIdle);
    // Movies shown without a wait after them (a button that only shows one) get their frames
    // and their end here, as they do in the waits and transitions.
    MediaIdleControllers();
    GiveUpLostDownload();
}

uint32_t GetTickCounter() { return g_tickCounter; }
uint32_t GetTimerButtonSetting() { return g_timerButtonSetting; }
