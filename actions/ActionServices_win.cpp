// MINIMAL action services (see ActionServices.h).
#include "actions/ActionServices.h"

int NewButtonMouseDown(HWND, int, int) { return 0; }
int NewButtonMouseMove(HWND, int, int) { return 0; }
int NewButtonMouseUp(HWND, int, int, bool) { return 0; }
bool IsPlacedButtonShown() { return false; }
void CancelPlacedButton(HWND) {}
void DrawPlacedButton(HWND) {}
int NudgeEditedButton(WPARAM, bool) { return 0; }
