// MINIMAL action services (see ActionServices.h).
#include "actions/ActionServices.h"

void FreeCachedNBAModules(int) {}
void FreeTimerTable() {}
void FreeButtonEditCopy() {}
void FreeAnimOffscreen() {}

// No module is loaded yet (the built-in button cycle takes its keys in the card window).
int ForwardMessageToNBAs(HWND, UINT, uint16_t, LPARAM) { return 0; }

int NewButtonMouseDown(HWND, int, int) { return 0; }
int NewButtonMouseMove(HWND, int, int) { return 0; }
int NewButtonMouseUp(HWND, int, int, bool) { return 0; }
bool IsPlacedButtonShown() { return false; }
void CancelPlacedButton(HWND) {}
void DrawPlacedButton(HWND) {}
int NudgeEditedButton(WPARAM, bool) { return 0; }
