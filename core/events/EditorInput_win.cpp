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

bool IsTrackingKey(UINT message, WPARAM key) {
    const bool arrowOrLatch = (key >= VK_LEFT && key <= VK_DOWN) || key == VK_SHIFT || key == VK_CONTROL;
    return (message == WM_KEYDOWN || message == WM_KEYUP) && arrowOrLatch && GetCoreUpcalls().trackedWindow() != nullptr;
}

bool IsLoopsOwn(UINT message, WPARAM wParam) {
    const bool loopRuns = MouseHookActive() || GetCoreUpcalls().trackedWindow() != nullptr;
    return (loopRuns && (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEMOVE)) ||
           IsTrackingKey(message, wParam);
}

}  // namespace

bool CardInputHeld(unsigned message, uintptr_t wParam) {
    return IsCardInput(message) && EditorRuns() && !IsLoopsOwn(message, wParam);
}
