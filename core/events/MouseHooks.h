// Card-window mouse hooks: a function that the card message handler and the modal loops call
// before their own handling of a mouse message, for as long as a feature tracks the mouse
// (resizing with a preview, placing a video overlay). Hooks nest: installing one saves the one
// before, removing it brings that one back; one current hook and five saved ones at most.
// host/wiring installs none: the trackers push theirs while they run (objects/ResizeTracking_win.cpp).
#pragma once

struct HWND__;  // the window handle type, without the Windows headers

// (message, window, x, y) in card coordinates; nonzero when the hook consumed the message.
using MouseHook = int (*)(unsigned message, HWND__* window, int x, int y);

inline constexpr int kSavedMouseHooks = 5;

// 1 when installed; 0 (nothing changed) when five hooks are saved already.
int PushMouseHook(MouseHook hook);
// The last saved hook becomes current again (none: no hook).
void PopMouseHook();
bool MouseHookActive();
MouseHook CurrentMouseHook();
// The current hook's answer; 0 when there is none.
int CallMouseHook(unsigned message, HWND__* window, int x, int y);
// Start-up and tests: no hooks at all.
void ClearMouseHooks();
