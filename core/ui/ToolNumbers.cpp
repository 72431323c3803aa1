#include "core/ui/ToolNumbers.h"

#include <utility>

namespace {

uint32_t g_toolNumber = kBrowseTool;
ToolChangeHook g_changeHook = nullptr;

}  // namespace

uint32_t GetCurrentTool() { return g_toolNumber; }

void SelectToolNumber(uint32_t tool) {
    const uint32_t old = g_toolNumber;
    g_toolNumber = tool;
    if (g_changeHook)
        g_changeHook(old, tool);
}

void SetToolNumberQuietly(uint32_t tool) { g_toolNumber = tool; }

ToolChangeHook SetToolChangeHook(ToolChangeHook hook) { return std::exchange(g_changeHook, hook); }
