// The modeless dialog list (see the header).
#include "core/events/ModelessDialogs.h"

#include <algorithm>
#include <array>

namespace {
std::array<void*, kMaxModelessDialogs> g_dialogs{};
int g_count = 0;
}  // namespace

bool AddModelessDialog(void* window) {
    if (!window)
        return false;
    if (std::find(g_dialogs.begin(), g_dialogs.begin() + g_count, window) != g_dialogs.begin() + g_count)
        return true;
    if (g_count >= kMaxModelessDialogs)
        return false;
    g_dialogs[g_count++] = window;
    return true;
}

void RemoveModelessDialog(void* window) {
    auto* end = g_dialogs.begin() + g_count;
    auto* found = std::find(g_dialogs.begin(), end, window);
    if (found == end)
        return;
    std::copy(found + 1, end, found);
    g_dialogs[--g_count] = nullptr;
}

int ModelessDialogCount() { return g_count; }

void* ModelessDialogAt(int index) { return index >= 0 && index < g_count ? g_dialogs[index] : nullptr; }

void ClearModelessDialogs() {
    g_dialogs.fill(nullptr);
    g_count = 0;
}
