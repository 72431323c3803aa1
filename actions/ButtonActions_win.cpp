// MINIMAL button actions (see ButtonActions.h): the start hook, then the move to the
// destination; the other actions wait for the performer.
#include "actions/ButtonActions.h"

#include "actions/ActionBlock.h"
#include "stack/cards/CardList.h"

namespace {
ButtonActionsStartHook g_startHook = nullptr;
DestinationMover g_mover = nullptr;
}  // namespace

void SetButtonActionsStartHook(ButtonActionsStartHook hook) { g_startHook = hook; }
void SetDestinationMover(DestinationMover mover) { g_mover = mover; }

int DoButtonActions(HWND /*cardWindow*/, uint16_t buttonId, uint32_t argument) {
    if (g_startHook)
        g_startHook(buttonId, argument);
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, buttonId, &card, &offset))
        return 0;
    ActionBlock block;
    const bool loaded = LoadActionBlock(card, offset, &block);
    DisposeActionBlockData(&block);
    FreeUrlBuffer();
    if (loaded && block.destination != 0 && g_mover)
        g_mover(block.destination, block.transition, block.effectValue, block.transitionSpeed);
    return 1;
}
