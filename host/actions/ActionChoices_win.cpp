// The handlers of the actions menu (ActionChoices.h).
#include <cstring>
#include <string>

#include "actions/NbaChooser.h"
#include "actions/TestingButtons.h"
#include "actions/TimerButtons.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include <cctype>
#include "layers/LayerList.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "host/actions/ActionsEditor.h"
#include "host/launching/LaunchPrograms.h"
#include "media/MediaDialogs.h"
#include "media/video/VideoAction.h"
#include "objects/ObjectInfo.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/animation/AnimationEdit.h"
#include "authoring/graphics/GraphicCommands.h"
#include "objects/buttons/ButtonIcons.h"
#include "format/StackFile.h"
#include "stack/save/SaveDialogs.h"

namespace {

int RunTransitionsOn(HWND window, ActionBlock* block) {
    return RunTransitionsDialog(window, *block, 0, kTitleTransitions, 0, 0);
}

int SetSpecialDestination(HWND window, ActionBlock* block, int code) {
    if (RunTransitionsOn(window, block) != IDOK)
        return 0;
    TakeSpecialDestination(block, code);
    return 1;
}

int ChooseAnotherStack(HWND window, ActionBlock* block) {
    FileSpecKeeper target(kSlotTargetStack);
    FileSpec chosen;
    if (!ChooseStackFile(window, kSlotTargetStack, &chosen))
        return 0;
    PutFileSpec(kSlotTargetStack, chosen);
    if (RunTransitionsOn(window, block) != IDOK)
        return 0;
    block->destination = kDestOtherStack;
    target.Keep();
    return 1;
}

int ChooseAnotherCard(HWND window, ActionBlock* block) { return RunAnotherCardSequence(window, *block, nullptr); }

std::string HeldUrl() {
    const char* held = LockUrlBuffer();
    std::string text = held ? std::string(held, strnlen(held, 256)) : std::string();
    UnlockUrlBuffer();
    return text;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int ChooseUrlAction(HWND window, ActionBlock* block) {
    const std::string before = HeldUrl();
    if (!AskForUrl(window))
        return 0;
    block->urlSet = 1;
    return SameIgnoringCase(before, HeldUrl()) ? 0 : 1;
}

int CommitObjectActions(const ActionChoiceTarget& target, ActionBlock* block) {
    switch (target.kind) {
    case kObjectGraphic: return EditGraphicActions(target.layer) ? 1 : 0;
    case kObjectText: return EditTextObjectActions(target.layer);
    case kObjectButton: return CommitButtonActions(target.layer, target.record, target.offset, block);
    default: return 0;
    }
}

// A button's features: its flags and cursor, in its record and its layer.
int EditButtonFeatures(HWND window, LayerHandle layer) {
    uint16_t id = 0, flags = 0, cursor = 0;
    {
        LayerLock<ButtonLayer> button(layer);
        if (!button)
            return 0;
        id = button->common.id;
        flags = button->flags;
        cursor = button->cursorId;
    }
    const uint16_t oldFlags = flags, oldCursor = cursor;
    const LayerName name = NameOfLayer(layer);
    const bool ok = ShowItemInfo(window, kObjectButton, id, &flags, &cursor, layer) == IDOK;
    const IconSelection* selection = GetIconSelection();
    const bool chosen = selection->data != 0 && selection->mode == 0;
    layer = FindNamedLayer(name);
    if (!ok || !layer || (flags == oldFlags && cursor == oldCursor && !chosen)) {
        ClearIconSelection();
        return 0;
    }
    if (cursor != 0)
        cursor = MapButtonIconId(oldCursor, cursor);
    ClearIconSelection();
    Handle record = 0;
    uint32_t offset = 0;
    if (FindObject(kObjectButton, id, &record, &offset)) {
        SetHandleWord(record, offset + kObjectFlags, flags);
        SetHandleWord(record, offset + kButtonCursorId, cursor);
        MarkCardChanged();
    }
    if (LayerLock<ButtonLayer> button(layer); button) {
        button->flags = flags;
        button->cursorId = cursor;
    }
    // A group object lives with the background, a card object with the card, as the button's
    // appearance dialog leaves them.
    if ((flags ^ oldFlags) & kObjectBackground) {
        SyncCardFromLayers();
        UpdateObjectLayer(kObjectButton, id, GetCurrentCardRecord());
    }
    return 1;
}

}  // namespace

int RunObjectCommandChoice(HWND window, LayerHandle layer, uint16_t kind, int code) {
    switch (code) {
    case kChoiceStyle: return kind == kObjectText ? EditTextObjectStyle(window, layer) : 0;
    case kChoiceIcons: return kind == kObjectButton ? ChooseButtonIcon(window, layer) : 0;
    case kChoiceFeatures:
        switch (kind) {
        case kObjectGraphic: return EditGraphicFeatures(window, layer) ? 1 : 0;
        case kObjectText: return EditTextObjectFeatures(window, layer);
        case kObjectButton: return EditButtonFeatures(window, layer);
        default: return 0;
        }
    default: return 0;
    }
}

int RunActionChoice(const ActionChoiceTarget& target, int code, ActionBlock* block) {
    HWND window = target.window;
    switch (code) {
    case kChoiceAnotherCard: return ChooseAnotherCard(window, block);
    case kChoiceNextCard: case kChoicePreviousCard: case kChoiceBack: case kChoiceHomeStack:
    case kChoiceLastMarked:
        return SetSpecialDestination(window, block, code);
    case kChoiceAnotherStack: return ChooseAnotherStack(window, block);
    case kChoiceAnotherProgram: return EditLaunchAction(window, &block->launchOption);
    case kChoiceInternetSite: return ChooseUrlAction(window, block);
    case kChoiceNone: case kChoiceNewAction: return CommitObjectActions(target, block);
    case kChoiceSounds: return ChooseActionSound(window, block) ? 1 : 0;
    case kChoiceNba: return RunNbaChooser(window, &block->nbaData, &block->nbaId, block->objectId);
    case kChoiceVideo: {
        int chosen = 0, hadVideo = 0;
        return EditVideoAction(window, block, &chosen, &hadVideo, block->objectId) ? 1 : 0;
    }
    // Only the dialog's OK changes the actions: a Cancel leaves the object as it was.
    case kChoiceAnimation: return (EditObjectAnimation(block, 0) & kAnimationKept) ? 1 : 0;
    case kChoiceTimer: return RunTimerDialog(window, &block->timerMode, &block->timerValue);
    case kChoiceTesting: return RunTestingDialog(window, &block->testingChoice);
    default: return 0;
    }
}
