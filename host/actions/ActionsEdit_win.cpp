// The ways into the actions dialog, each on the block its editor owns (ActionsEditor.h).
#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "actions/ActionServices.h"
#include "actions/ActionsDialog.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "host/actions/ActionsEditor.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "format/StackFile.h"

namespace {

// How many button actions dialogs are up (the card takes no object click meanwhile).
int g_buttonRuns = 0;

class ButtonRun {
public:
    ButtonRun() { ++g_buttonRuns; }
    ~ButtonRun() { --g_buttonRuns; }
    ButtonRun(const ButtonRun&) = delete;
    ButtonRun& operator=(const ButtonRun&) = delete;
};

uint16_t CopyButtonId(Handle copy) {
    if (!copy || GetHandleSize(copy) < sizeof(ObjectLayer))
        return 0;
    HandleLock lock(copy);
    return lock ? reinterpret_cast<const ObjectLayer*>(lock.get())->id : 0;
}

// The button's record as the current card holds it; empty when it is not there.
std::vector<uint8_t> ButtonRecordBytes(uint16_t id) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, id, &card, &offset))
        return {};
    ScopedHandle copy(CopyObjectRecord(card, offset));
    return HandleToBytes(copy.get());
}

// Done on a button that is on a card writes the block into its record; a new button's record
// is written by the button editor when it is placed. A record that comes out as it was leaves
// the card unchanged, so that saving does not write the card's picture again.
void CommitButtonRecord(uint16_t id, const ActionBlock& block) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!id || !FindObject(kObjectButton, id, &record, &offset))
        return;
    const std::vector<uint8_t> before = ButtonRecordBytes(id);
    if (SaveActionBlock(record, offset, id, block) && ButtonRecordBytes(id) != before)
        MarkCardChanged();
}

void ClearSlotNames(int slot, bool withName) {
    if (FileSpec* spec = GetFileSpec(slot)) {
        spec->path[0] = '\0';
        if (withName)
            spec->name[0] = '\0';
    }
}

// The new button's area, grown by 3 pixels each way, is drawn again.
void InvalidateEditedButton(HWND window, Handle copy) {
    if (!window || !copy || GetHandleSize(copy) < sizeof(ObjectLayer))
        return;
    HandleLock lock(copy);
    if (!lock)
        return;
    RECT r = reinterpret_cast<const ObjectLayer*>(lock.get())->bounds;
    InflateRect(&r, 3, 3);
    InvalidateRect(window, &r, FALSE);
}

// The block starts afresh but stays the new button's: the button editor writes it into the
// button's record only when it holds that button's id.
int RunNewActionsDialog(HWND window, uint16_t buttonId, ActionBlock& block, Handle* copy) {
    DisposeActionBlockData(&block);
    std::memset(&block, 0, sizeof block);
    block.objectId = buttonId;
    block.soundParameter = kNewButtonSoundParameter;
    block.transition = kPlainTransition;
    block.timerValue = 3;
    block.testingChoice = 0;
    ClearSlotNames(kSlotTargetStack, false);
    ClearSlotNames(kSlotLaunchProgram, true);
    ClearSlotNames(kSlotLaunchDocument, true);
    SetActionDialogChecks(block);
    return RunActionsDialog(window, block, kActionsOfButton, copy);
}

// An object's record: its own block, loaded for the dialog and gone with it.
int EditObjectActionsNow(Handle record, uint32_t offset, int variant) {
    ActionBlock block{};
    LoadActionBlock(record, offset, &block);
    SetActionDialogChecks(block);
    const int result = RunActionsDialog(GetMainWindow(), block, static_cast<ActionsVariant>(variant));
    // Text links too: the link dialog keeps the record saved here and stores it after "Done".
    const bool saves = variant >= kActionsOfCardArriveLeave && variant <= kActionsOfCardClick;
    if (result == kActionsDialogOk && saves)
        SaveActionBlock(record, offset, 0, block);
    DisposeActionBlockData(&block);
    return result;
}

int EditButtonActionsNow(Handle copy, ActionBlock& block) {
    SetActionDialogChecks(block);
    const ButtonRun running;
    // Another stack opened under the dialog has buttons of the same ids: none of them is this one.
    // The button is found again by its stack, its card, its kind and its id.
    const StackIdentity stack = CurrentStackIdentity();
    const uint16_t card = GetCurrentCardId();
    // A card walk may put its own copy in place of the one given.
    Handle button = copy;
    const int result = RunActionsDialog(GetMainWindow(), block, kActionsOfButton, &button);
    if (result != kActionsDialogOk)
        return result;
    if (!IsCurrentStack(stack) || GetCurrentCardId() != card)
        return kActionsDialogCancelled;  // a Done that could not be written is no Done
    CommitButtonRecord(CopyButtonId(button), block);
    return result;
}

int NewButtonActionsNow(Handle copy, ActionBlock& block) {
    const ButtonRun running;
    InvalidateEditedButton(GetMainWindow(), copy);
    Handle button = copy;
    return RunNewActionsDialog(GetMainWindow(), CopyButtonId(copy), block, &button);
}

}  // namespace

bool IsEditingButton() { return g_buttonRuns > 0; }

int RunActionsDialogCall(int call, Handle record, uint32_t offset, int variant, ActionBlock* block) {
    const EditorGuard guard;
    switch (call) {
    case kActionsForObject: return EditObjectActionsNow(record, offset, variant);
    case kActionsForButton: return block ? EditButtonActionsNow(record, *block) : kActionsDialogCancelled;
    case kActionsForNewButton: return block ? NewButtonActionsNow(record, *block) : kActionsDialogCancelled;
    default: return kActionsDialogCancelled;
    }
}

ButtonLayer PlainButtonCopy(const ButtonLayer& layer) {
    ButtonLayer copy = layer;
    copy.common.next = nullptr;
    copy.common.region = nullptr;
    copy.icon = 0;
    copy.freehandMask = nullptr;
    copy.freehandOutline = nullptr;
    return copy;
}

void KeepEditedButton(const ButtonLayer& copy, Handle* edited) {
    if (!edited || (*edited && IsValidHandle(*edited) && GetHandleSize(*edited) >= sizeof(ButtonLayer)))
        return;
    Handle again = NewHandleFromBytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&copy), sizeof copy));
    if (!again)
        return;
    SetButtonEditCopy(again);
    *edited = again;
}

int CommitButtonActions(LayerHandle layer, Handle record, uint32_t offset, ActionBlock* block) {
    ButtonLayer plain{};
    {
        LayerLock<ButtonLayer> button(layer);
        if (!button || !block)
            return 0;
        plain = PlainButtonCopy(*button.get());
    }
    plain.beingEdited = 1;
    const uint16_t id = plain.common.id;
    // The copy names the button; it holds none of the layer's handles, which a card walk frees.
    Handle copy = NewHandleFromBytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&plain), sizeof plain));
    if (!copy)
        return 0;
    SetButtonEditCopy(copy);
    const std::vector<uint8_t> before = ButtonRecordBytes(id);
    DisposeActionBlockData(block);
    LoadActionBlock(record, offset, block);
    const int result = EditButtonActions(copy, *block);
    FreeButtonEditCopy();
    // The card walk may have left the card: the button's record is looked up again.
    return result == kActionsDialogOk && ButtonRecordBytes(id) != before ? 1 : 0;
}
