// What the card window asks of animation and the button editor at start-up, shut-down and on
// its messages.
//
//   ActionServices_win.cpp   MINIMAL until animation and the button editor come: nothing is
//                            held or stepped, and no placement is in progress (every tracker
//                            gives 0).
#pragma once

#include <windows.h>

#include <cstdint>

// The button edit copy freed (ActionsDialog_win.cpp).
void FreeButtonEditCopy();

// Placing a new button.
int NewButtonMouseDown(HWND window, int x, int y);
int NewButtonMouseMove(HWND window, int x, int y);
int NewButtonMouseUp(HWND window, int x, int y, bool ctrl);
bool IsPlacedButtonShown();
void CancelPlacedButton(HWND window);
void DrawPlacedButton(HWND window);
int NudgeEditedButton(WPARAM key, bool shiftLatch);
