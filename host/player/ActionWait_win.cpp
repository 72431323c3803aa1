// The wait after actions: the card's media, frame animations, animated objects and modules get
// their time until the owner's are done or the user clicks or presses a key (ActionPerform.h).
#include <windows.h>

#include "actions/Animations.h"
#include "actions/NbaModules.h"
#include "core/events/OneShotTimers.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/ActionPerform.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"

namespace {

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

// One message taken from the queue; false when the wait must end after this pass. The card
// window's input is dropped (a second click must not start the same actions again); its paint
// and everything else go on being handled; a quit ends the wait and is left for the loop above.
bool TakeMessage(HWND card) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return true;
    if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN || message.message == WM_KEYDOWN)
        return false;
    if (card && message.hwnd == card && IsInput(message.message))
        return true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

}  // namespace

void WaitAfterActions(const ActionMarks& marks, uint16_t objectId) {
    if (marks.animation || marks.movie || marks.nba) {
        const HWND card = GetMainWindow();
        for (;;) {
            const bool goOn = TakeMessage(card);
            RunFrameAnimQueue(card, GetCardClipRegion());
            TimerListTick(GetMilliseconds());
            StepAnimations();
            const bool moduleWaits = marks.nba && PollNBAsForWait();
            MediaIdleControllers();
            const bool movieDone = MediaIsMovieDone(static_cast<int16_t>(objectId)) != 0;
            if (!goOn || (movieDone && FrameAnimsDoneFor(objectId) && AnimatedObjectsDoneFor(objectId) && !moduleWaits))
                break;
        }
    }
    StopFrameAnimations();
    ReleaseAnimPlayback();
    MediaRemoveFinished(0, 0);
}
