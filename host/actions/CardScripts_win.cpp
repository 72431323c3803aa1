// The card's and the stack's scripts: Edit menu commands 702 to 707 (ActionChoices.h).
#include "actions/ActionBlock.h"
#include "core/system/ChangeFlags.h"
#include "host/actions/ActionChoices.h"
#include "logo/Logo.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "stack/format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// The script of the 'Actn' resource named by the word of the record: edited, and when changed
// stored under that id (a new one when there was none) and named by the word again.
void EditScriptOf(HWND window, Handle owner, uint32_t word) {
    if (!owner || GetHandleSize(owner) < word + 2)
        return;
    const int16_t named = static_cast<int16_t>(GetHandleWord(owner, word));
    if (named < 0)
        return;
    uint16_t id = static_cast<uint16_t>(named);
    Handle copy = LoadActionResource(id);
    if (!copy)
        return;
    ActionBlock block{};
    LoadActionBlock(copy, 0, &block);
    if (EditLogoActionScript(window, &block.logoScript, &block.logoRect)) {
        ActionBlock* global = GetActionBlock();
        DisposeActionBlockData(global);
        *global = block;
        block = {};
        if (SaveActionBlock(copy, 0, 0, *global)) {
            uint16_t oldId = id;
            uint16_t newId = id;
            SetOrDropActionResource(copy, &oldId, &newId, true);
            if (newId) {
                SetHandleWord(owner, word, newId);
                MarkCardChanged();
            }
        }
    }
    DisposeActionBlockData(&block);
    DisposeHandle(copy);
}

}  // namespace

void EditCardScript(HWND window, int command) {
    constexpr uint32_t kWords[] = {kCardAction1, kCardAction3, kCardAction2};
    if (command >= 702 && command <= 704)
        EditScriptOf(window, GetCurrentCardRecord(), kWords[command - 702]);
}

void EditStackScript(HWND window, int command) {
    constexpr uint32_t kWords[] = {kHeaderStackActionA, kHeaderStackActionB, kHeaderClosingAction};
    if (command >= 705 && command <= 707)
        EditScriptOf(window, GetStackHeaderHandle(), kWords[command - 705]);
}
