// MINIMAL deferred commands (see the header).
#include "host/state/DeferredCommands.h"

#include <utility>

namespace {
std::vector<int> g_recorded;
}  // namespace

void RunDeferredCommand(int command) {
    if (g_recorded.size() < 256)
        g_recorded.push_back(command);
}

std::vector<int> TakeDeferredCommands() { return std::exchange(g_recorded, {}); }
