// Minimal until actions are performed: the start hook is told, as the action runner does
// before it starts, and nothing is performed yet.
#include "actions/ButtonActions.h"

namespace {
ButtonActionsStartHook g_startHook = nullptr;
}  // namespace

void SetButtonActionsStartHook(ButtonActionsStartHook hook) { g_startHook = hook; }

int DoButtonActions(HWND /*cardWindow*/, uint16_t buttonId, uint32_t argument) {
    if (g_startHook)
        g_startHook(buttonId, argument);
    return 0;
}
