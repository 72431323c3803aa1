// MINIMAL deferred commands (see the header).
#include "host/state/DeferredCommands.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {
std::vector<int> g_recorded;
}  // namespace

bool IsDeferredMenuCommand(int command) {
    static constexpr std::array kCommands{162, 350, 351, 362, 366, 367, 369, 600, 700, 701, 702, 703, 704, 705, 706, 707};
    return std::find(kCommands.begin(), kCommands.end(), command) != kCommands.end();
}

void RunDeferredCommand(int command) {
    if (g_recorded.size() < 256)
        g_recorded.push_back(command);
}

std::vector<int> TakeDeferredCommands() { return std::exchange(g_recorded, {}); }
