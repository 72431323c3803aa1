// The card message handler's state and the stack words it reads.
#include "host/state/CardHandlerState.h"

#include <span>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/ToolNumbers.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"

CardHandlerState& HandlerState() {
    static CardHandlerState state;
    return state;
}

bool NoteDisplayDepth(CardHandlerState& state, int bitsPerPixel) {
    if (bitsPerPixel == state.lastDisplayDepth)
        return false;
    state.lastDisplayDepth = bitsPerPixel;
    return true;
}

CardPoint LongToPoint(uint32_t value) {
    return {static_cast<int16_t>(value & 0xFFFF), static_cast<int16_t>(value >> 16)};
}

uint16_t StackHeaderWord(uint32_t offset) { return GetHandleWord(GetStackHeaderHandle(), offset); }

uint16_t CurrentCardWord(uint32_t offset) {
    return IsStackOpen() ? GetHandleWord(GetCurrentCardRecord(), offset) : 0;
}

BrowseClickPlan PlanBrowseClick(bool layerHit, bool layerHandled, uint16_t cardAction, uint16_t stackAction) {
    BrowseClickPlan plan;
    plan.runCardAction = !layerHit && cardAction != 0;
    plan.runStackAction = !plan.runCardAction && !layerHandled && stackAction != 0;
    return plan;
}

int ShiftTabTool(int tool) { return tool == kBrowseTool ? kArrowTool : kBrowseTool; }
int ChordTabTool(int tool) { return tool == kBrowseTool ? kRectSelectTool : kBrowseTool; }
