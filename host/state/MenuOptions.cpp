#include "host/state/MenuOptions.h"

#include "layers/CardView.h"

namespace {

struct MenuFlags {
    bool drawFilled = false, drawMultiple = false, drawCentered = false;
    bool stackMenuBarHidden = false, swapping = false;
    bool frameMenu = true;
};

MenuFlags g_flags;
DropRecord g_drop{};
int g_dropLocks = 0;

}  // namespace

bool IsDrawFilled() { return g_flags.drawFilled; }
bool IsDrawMultiple() { return g_flags.drawMultiple; }
bool IsDrawCentered() { return g_flags.drawCentered; }
// Kept with the card view, which the layer list and the objects read.
bool ObjectsShown() { return GetCardObjectsShown(); }
void ToggleDrawFilled() { g_flags.drawFilled = !g_flags.drawFilled; }
void ToggleDrawMultiple() { g_flags.drawMultiple = !g_flags.drawMultiple; }
void ToggleDrawCentered() { g_flags.drawCentered = !g_flags.drawCentered; }
void SetObjectsShown(bool shown) { SetCardObjectsShown(shown); }

bool SwapFrameMenu() {
    g_flags.swapping = true;
    g_flags.frameMenu = !g_flags.frameMenu;
    g_flags.swapping = false;
    return g_flags.frameMenu;
}

bool GetFrameMenu() { return g_flags.frameMenu; }
bool IsMenuBarSwapping() { return g_flags.swapping; }

bool ToggleStackMenuBar(uint16_t stackMenuWord) {
    if (stackMenuWord == 0) {
        SwapFrameMenu();
        g_flags.stackMenuBarHidden = !g_flags.stackMenuBarHidden;
    }
    return !g_flags.stackMenuBarHidden;
}

DropRecord* LockDropRecord() {
    ++g_dropLocks;
    return &g_drop;
}

void UnlockDropRecord() {
    if (g_dropLocks > 0)
        --g_dropLocks;
}
