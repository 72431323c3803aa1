// The edited button and the ways into the actions dialog (ActionsEditor.h).
#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "actions/ActionServices.h"
#include "actions/ActionsDialog.h"
#include "core/events/CardLeaveGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "host/actions/ActionsEditor.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "format/StackFile.h"

namespace {

Handle g_editedButton = 0;

// The edited button for the time of one dialog run.
class EditedButton {
public:
    explicit EditedButton(Handle copy) { g_editedButton = copy; }
    ~EditedButton() { g_editedButton = 0; }
    EditedButton(const EditedButton&) = delete;
    EditedButton& operator=(const EditedButton&) = delete;
};

uint16_t CopyButtonId(Handle copy) {
    if (!copy || GetHandleSize(copy) < sizeof(ObjectLayer))
        return 0;
    HandleLock lock(copy);
    return lock ? reinterpret_cast<const ObjectLayer*>(lock.get())->id : 0;
}

// Global block's handles are its own: they go before another record is loaded into it.
void LoadGlobalBlock(Handle record, uint32_t offset) {
    ActionBlock* block = GetActionBlock();
    DisposeActionBlockData(block);
    LoadActionBlock(record, offset, block);
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
void CommitButtonRecord(uint16_t id) {
    Handle record = 0;
    uint32_t offset = 0;
    if (!id || !FindObject(kObjectButton, id, &record, &offset))
        return;
    const std::vector<uint8_t> before = ButtonRecordBytes(id);
    if (SaveActionBlock(record, offset, id, *GetActionBlock()) && ButtonRecordBytes(id) != before)
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
int RunNewActionsDialog(HWND window, uint16_t buttonId) {
    ActionBlock* block = GetActionBlock();
    DisposeActionBlockData(block);
    std::memset(block, 0, sizeof *block);
    block->objectId = buttonId;
    block->soundParameter = kNewButtonSoundParameter;
    block->transition = kPlainTransition;
    block->timerValue = 3;
    block->testingChoice = 0;
    ClearSlotNames(kSlotTargetStack, false);
    ClearSlotNames(kSlotLaunchProgram, true);
    ClearSlotNames(kSlotLaunchDocument, true);
    SetActionDialogChecks(*block);
    return RunActionsDialog(window, kActionsOfButton);
}

int EditObjectActionsNow(Handle record, uint32_t offset, int variant) {
    LoadGlobalBlock(record, offset);
    SetActionDialogChecks(*GetActionBlock());
    const int result = RunActionsDialog(GetMainWindow(), variant);
    // Text links too: the link dialog keeps the record saved here and stores it after "Done".
    const bool saves = variant >= kActionsOfCardArriveLeave && variant <= kActionsOfCardClick;
    if (result == kActionsDialogOk && saves)
        SaveActionBlock(record, offset, 0, *GetActionBlock());
    return result;
}

int EditButtonActionsNow(Handle copy) {
    SetActionDialogChecks(*GetActionBlock());
    EditedButton edited(copy);
    // Another stack opened under the dialog has buttons of the same ids: none of them is this one.
    // The button is found again by its stack, its card, its kind and its id.
    const StackIdentity stack = CurrentStackIdentity();
    const uint16_t card = GetCurrentCardId();
    const int result = RunActionsDialog(GetMainWindow(), kActionsOfButton);
    if (result != kActionsDialogOk)
        return result;
    if (!IsCurrentStack(stack) || GetCurrentCardId() != card)
        return kActionsDialogCancelled;  // a Done that could not be written is no Done
    // A card walk may have put its own copy in place of the one given.
    CommitButtonRecord(CopyButtonId(g_editedButton));
    return result;
}

int NewButtonActionsNow(Handle copy) {
    EditedButton edited(copy);
    InvalidateEditedButton(GetMainWindow(), copy);
    return RunNewActionsDialog(GetMainWindow(), CopyButtonId(copy));
}

}  // namespace

Handle GetEditedButton() { return g_editedButton; }
bool IsEditingButton() { return g_editedButton != 0; }

int RunActionsDialogCall(int call, Handle record, uint32_t offset, int variant) {
    const CardLeaveGuard guard;
    switch (call) {
    case kActionsForObject: return EditObjectActionsNow(record, offset, variant);
    case kActionsForButton: return EditButtonActionsNow(record);
    case kActionsForNewButton: return NewButtonActionsNow(record);
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

void KeepEditedButton(const ButtonLayer& copy) {
    Handle edited = g_editedButton;
    if (edited && IsValidHandle(edited) && GetHandleSize(edited) >= sizeof(ButtonLayer))
        return;
    Handle again = NewHandleFromBytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(&copy), sizeof copy));
    if (!again)
        return;
    SetButtonEditCopy(again);
    g_editedButton = again;
}

int CommitButtonActions(LayerHandle layer, Handle record, uint32_t offset, ActionBlock*) {
    ButtonLayer plain{};
    {
        LayerLock<ButtonLayer> button(layer);
        if (!button)
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
    LoadGlobalBlock(record, offset);
    const int result = EditButtonActions(copy);
    FreeButtonEditCopy();
    // The card walk may have left the card: the button's record is looked up again.
    return result == kActionsDialogOk && ButtonRecordBytes(id) != before ? 1 : 0;
}
