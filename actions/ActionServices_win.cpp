// MINIMAL action services (see ActionServices.h).
#include "actions/ActionServices.h"

#include "actions/ButtonCycle.h"

void FreeCachedNBAModules(int) {}
void FreeTimerTable() {}
void FreeButtonEditCopy() {}
void FreeAnimOffscreen() {}

// No module is loaded yet: only the built-in button cycle takes its keys.
int ForwardMessageToNBAs(HWND window, UINT message, uint16_t wParam, LPARAM) {
    return ButtonCycleKey(window, message, wParam);
}

int NewButtonMouseDown(HWND, int, int) { return 0; }
int NewButtonMouseMove(HWND, int, int) { return 0; }
int NewButtonMouseUp(HWND, int, int, bool) { return 0; }
bool IsPlacedButtonShown() { return false; }
void CancelPlacedButton(HWND) {}
void DrawPlacedButton(HWND) {}
int NudgeEditedButton(WPARAM, bool) { return 0; }
