// MINIMAL current tool (see the header).
#include "host/CurrentTool.h"

namespace {
uint32_t g_toolNumber = kBrowseTool;
}  // namespace

uint32_t GetCurrentTool() { return g_toolNumber; }
void SelectToolNumber(uint32_t tool) { g_toolNumber = tool; }
