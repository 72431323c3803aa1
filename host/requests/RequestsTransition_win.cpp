// Request 151: the transitions dialog for a module (RequestHandlers.h).
#include "actions/ActionBlock.h"
#include "core/system/PluginModule.h"
#include "host/actions/ActionsEditor.h"
#include "host/requests/RequestHandlers.h"

uint32_t TransitionDialogTitle(uint32_t which) {
    constexpr uint32_t kTitles[] = {kTitleShowItem, kTitleHideItem, kTitleTransitions};
    return which < 3 ? kTitles[which] : 0;
}

// [50] transition and speed, [54] the owner window, [58] the title, [62] object kind and id (0
// for a card); answers the result in [54] and on OK the choice in [50] and the effect in [66].
void CbChooseTransition(NbaParamBlock& b) {
    ActionBlock* block = GetActionBlock();
    const ActionBlock saved = *block;
    block->transition = static_cast<uint16_t>(b.param1 & 0xFFFF);
    block->transitionSpeed = static_cast<uint16_t>(b.param1 >> 16);
    const ActionBlock kept = *block;
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param2));
    if (!owner || !IsWindow(owner))
        owner = GetMainWindow();
    const uint16_t kind = static_cast<uint16_t>(b.param4 & 0xFFFF);
    const uint16_t id = static_cast<uint16_t>(b.param4 >> 16);
    const int result = RunTransitionsDialog(owner, *block, kind || id ? 1 : 0, TransitionDialogTitle(b.param3), kind, id);
    // The block is shared: messages to modules while the dialog was up may have reused it.
    const uint32_t asked = (static_cast<uint32_t>(kept.transitionSpeed) << 16) | kept.transition;
    b.param1 = result == IDOK ? (static_cast<uint32_t>(block->transitionSpeed) << 16) | block->transition : asked;
    b.param2 = static_cast<uint32_t>(result);
    // The module takes the effect as it is stored: there is no later save of actions to wait for.
    if (result == IDOK)
        b.handled = StorePendingEffect(block->effectValue);
    *block = saved;
}
