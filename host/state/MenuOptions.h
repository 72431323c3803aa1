// The menu's option flags (check marks of Draw Filled, Draw Multiple, Draw Centered, Hide
// Objects), the menu-bar flags and the dropped-files record kept for the drop handler.
#pragma once

#include <cstdint>

bool IsDrawFilled();
bool IsDrawMultiple();
bool IsDrawCentered();
bool ObjectsShown();
void ToggleDrawFilled();
void ToggleDrawMultiple();
void ToggleDrawCentered();
void SetObjectsShown(bool shown);

// The plug-in has no frame window: the stack's menu bar and the frame menu are flags only.
// ToggleStackMenuBar gives the new state (true: the bar is shown); stackMenuWord is the stack
// header word at offset 24 (0: the stack keeps the menu bar).
bool ToggleStackMenuBar(uint16_t stackMenuWord);
// Swaps the (absent) frame menu: true when one is now in place.
bool SwapFrameMenu();
bool GetFrameMenu();
// Set while the frame's menu is being replaced.
bool IsMenuBarSwapping();

// The dropped-files record: the drop handle and the point it fell on.
struct DropRecord {
    void* drop;
    int32_t x;
    int32_t y;
};
DropRecord* LockDropRecord();
void UnlockDropRecord();
