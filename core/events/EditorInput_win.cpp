// What input the card takes under an editor (EditorInput.h).
#include "core/events/EditorInput.h"

#include <windows.h>

#include "core/CoreUpcalls.h"
#include "core/events/EditorGuard.h"
#include "core/events/MouseHooks.h"

namespace {

bool IsCardInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST) ||
           message == WM_CONTEXTMENU || message == WM_DROPFILES;
}

bool IsLoopsOwn(UINT message) {
    const bool loopRuns = MouseHookActive() || GetCoreUpcalls().trackedWindow() != nullptr;
    return loopRuns && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE);
}

}  // namespace

bool CardInputHeld(unsigned message) { return IsCardInput(message) && EditorRuns() && !IsLoopsOwn(message); }
