// The button cycle's names and state (ButtonCycle.h).
#include "actions/ButtonCycle.h"

namespace {
ButtonCycleState g_cycle;
}  // namespace

std::vector<std::string> ReadCycleNames(std::span<const uint8_t> list) {
    std::vector<std::string> names;
    size_t at = 0;
    const size_t end = list.size();
    while (at < end && list[at] != 0) {
        while (at < end && (list[at] == ' ' || list[at] == '\r'))
            ++at;
        if (at >= end || list[at] == 0)
            break;
        std::string name;
        while (at < end && list[at] != '\r' && list[at] != 0 && name.size() < kCycleNameMax)
            name.push_back(static_cast<char>(list[at++]));
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        names.push_back(std::move(name));
    }
    return names;
}

ButtonCycleState& ButtonCycle() { return g_cycle; }

void EndButtonCycle() { g_cycle = {}; }
