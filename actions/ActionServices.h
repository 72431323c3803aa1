// What the card window asks of actions, animation and extension modules at start-up, shut-down
// and on its messages.
//
//   ActionServices_win.cpp   MINIMAL until animation, timer buttons, extension modules and the
//                            button editor come: nothing is held, stepped or forwarded, and no
//                            placement is in progress (every tracker gives 0).
#pragma once

#include <windows.h>

#include <cstdint>

void FreeCachedNBAModules(int keep);
void FreeTimerTable();
void FreeButtonEditCopy();
void FreeAnimOffscreen();

// Browse mode: modules see the card window's messages first.
int ForwardMessageToNBAs(HWND window, UINT message, uint16_t wParam, LPARAM lParam);

// Placing a new button.
int NewButtonMouseDown(HWND window, int x, int y);
int NewButtonMouseMove(HWND window, int x, int y);
int NewButtonMouseUp(HWND window, int x, int y, bool ctrl);
bool IsPlacedButtonShown();
void CancelPlacedButton(HWND window);
void DrawPlacedButton(HWND window);
int NudgeEditedButton(WPARAM key, bool shiftLatch);
