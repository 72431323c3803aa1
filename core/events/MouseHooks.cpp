// The mouse-hook stack.
#include "core/events/MouseHooks.h"

#include <algorithm>
#include <array>

namespace {
MouseHook g_current = nullptr;
std::array<MouseHook, kSavedMouseHooks> g_saved = {};
}  // namespace

int PushMouseHook(MouseHook hook) {
    if (g_current) {
        auto free = std::find(g_saved.begin(), g_saved.end(), nullptr);
        if (free == g_saved.end())
            return 0;
        *free = g_current;
    }
    g_current = hook;
    return 1;
}

void PopMouseHook() {
    for (auto it = g_saved.rbegin(); it != g_saved.rend(); ++it) {
        if (*it) {
            g_current = *it;
            *it = nullptr;
            return;
        }
    }
    g_current = nullptr;
}

bool MouseHookActive() { return g_current != nullptr; }
MouseHook CurrentMouseHook() { return g_current; }

int CallMouseHook(unsigned message, HWND__* window, int x, int y) {
    return g_current ? g_current(message, window, x, y) : 0;
}

void ClearMouseHooks() {
    g_current = nullptr;
    g_saved.fill(nullptr);
}
