// Leaving and entering cards, the moves between them, the event actions and the title.
#include "layers/CardFlush.h"
#include "host/player/CardNavigation.h"

#include <cstring>
#include <string>

#include "actions/Animations.h"
#include "actions/NbaEvents.h"
#include "actions/TimerButtons.h"
#include "core/events/CardLeaveGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/CursorCache.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "cardview/card/CardRedraw.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/CardHistory.h"
#include "host/player/CardNavigationRules.h"
#include "host/player/DownloadReplay.h"
#include "host/player/EditsInProgress.h"
#include "host/player/ObjectActions.h"
#include "host/player/PlayerUpcalls.h"
#include "host/player/StackJump.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "stack/undo/Undo.h"

namespace {

constexpr uint32_t kTitleSize = 512;
char g_title[kTitleSize] = {};
bool g_numberedTitle = false;  // the last title set carried a card number

// Leaves the current card and enters another; nothing without an open stack or a target.
void MoveToCard(Handle target, bool withHistory, const CardMove& move) {
    if (!IsStackOpen() || !target)
        return;
    const uint16_t id = GetCardId(target);
    LeaveCard(withHistory);
    SetCurrentCardId(id);
    EnterCard(move, false);
}

void GoToCard(uint16_t id, bool withHistory, const CardMove& move) {
    if (!IsStackOpen())
        return;
    LeaveCard(withHistory);
    const Handle card = FindCardById(id);
    if (card && !IsCardDeleted(card))
        SetCurrentCardId(id);
    else
        ShowAlert(kAlertCardNotFound);
    EnterCard(move, false);
}

// The card walk looks for a card to link to; it does not play the stack. Its own moves leave
// and reach cards without their leave and arrive actions: an arrive action that moves on would
// carry the walk past the card the author wants, and one that plays or asks a module would run
// under the author's edit.
bool PlaysCardActions() { return !IsCardWalkMoving(); }

bool SlotNamesFile(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    return spec && spec->path[0] != 0;
}

}  // namespace

void LeaveCard(bool withHistory) {
    if (!IsStackOpen())
        return;
    if (withHistory)
        PushCardHistory();
    NotifyStackNBAs(kNbaEventLeaveCard);
    if (PlaysCardActions())
        RunCardAction(GetHandleWord(GetCurrentCardRecord(), kCardAction2), 0, 1, kStringLeaveCardAction);
    DiscardUndoOnLeavingCard();
    ClearTimerTable();
    // The card is drawn again whole: nothing of the movies needs invalidating.
    MediaRemoveFinished(0, 0);
    ReleaseAnimPlayback();
    StopFrameAnimations();
    CloseCaptureWindow();
    DeselectAll();
    FlushCardEdits();
    FreeLayerList();
    ResetCursorCache();
}

int EnterCard(const CardMove& move, bool arriveAtStack) {
    const Handle card = FindCardById(GetCurrentCardId());
    // The card entered has no edits yet; what the last one changed still wants saving.
    if (IsCardChanged())
        MarkStackModified();
    ClearCardChanged();
    if (!card)
        return 0;
    RedrawCard(card, move, true);
    const HWND window = GetMainWindow();
    if (window)
        DrawWindowEdge(window);
    UpdateCardTitle(false);
    GetPlayerUpcalls().cardEntered();
    NotifyStackNBAs(kNbaEventEnterCard);
    if (PlaysCardActions()) {
        if (arriveAtStack)
            RunCardAction(GetHandleWord(GetStackHeaderHandle(), kHeaderStackActionA), 0, 0, kStringArriveStackAction);
        RunCardAction(GetHandleWord(card, kCardAction1), 0, 0, kStringArriveCardAction);
    }
    const bool realized = window && RealizeAppPalette(window, GetAppPalette());
    ReloadFillPatterns();
    return realized ? 1 : 0;
}

void GoFirstCard(const CardMove& move) {
    if (HoldCardLeave([=] { GoFirstCard(move); }))
        return;
    MoveToCard(FirstLiveCard(), true, move);
}

void GoLastCard(const CardMove& move) {
    if (HoldCardLeave([=] { GoLastCard(move); }))
        return;
    MoveToCard(LastLiveCard(), true, move);
}

void GoPrevCard(const CardMove& move) {
    if (HoldCardLeave([=] { GoPrevCard(move); }))
        return;
    MoveToCard(PreviousLiveCard(GetCurrentCardRecord()), true, move);
}

void GoNextCard(const CardMove& move) {
    if (HoldCardLeave([=] { GoNextCard(move); }))
        return;
    MoveToCard(NextLiveCard(GetCurrentCardRecord()), true, move);
}

void GoToCardId(uint16_t id, const CardMove& move) {
    if (HoldCardLeave([=] { GoToCardId(id, move); }))
        return;
    GoToCard(id, true, move);
}

void GoToCardInStack(uint16_t id, const CardMove& move) {
    if (HoldCardLeave([=] { GoToCardInStack(id, move); }))
        return;
    GoToCard(id, false, move);
}

int GoToStackCard(uint16_t id, int slot, const CardMove& move, bool withHistory) {
    if (HoldCardLeave([=] { GoToStackCard(id, slot, move, withHistory); }))
        return 0;
    const bool here = StackHasFile() ? SameFileSpecPath(slot, kSlotCurrentStack) : !SlotNamesFile(slot);
    if (!here)
        return GoToAnotherStack(slot, id, move, withHistory, true);
    if (!IsStackOpen())
        return 0;
    if (id == 0)
        id = GetCardId(FirstLiveCard());
    GoToCard(id, withHistory, move);
    return 1;
}

void GoRecentCard(const CardMove& move) {
    if (HoldCardLeave([=] { GoRecentCard(move); }))
        return;
    if (GetRecentCardId() == 0) {
        ShowAlert(kAlertNoMarkedCard);
        return;
    }
    GoToStackCard(GetRecentCardId(), kSlotPreviousStack, move, true);
}

void GoBackInHistory(const CardMove& move) {
    if (HoldCardLeave([=] { GoBackInHistory(move); }))
        return;
    uint16_t id = 0;
    bool otherStack = false;
    if (!PopCardHistory(&id, &otherStack))
        return;
    if (otherStack)
        GoToAnotherStack(kSlotHistoryStack, id, move, false, true);
    else
        GoToCardInStack(id, move);
}

void GoHomeStack(const CardMove& move) {
    if (HoldCardLeave([=] { GoHomeStack(move); }))
        return;
    if (IsHomeStackKnown())
        GoToStackCard(GetHomeCardId(), kSlotHomeStack, move, true);
}

int RunCardAction(uint16_t actionId, int byClick, int waitAfter, uint32_t labelStringId) {
    if (actionId == 0 || !IsBrowseMode())
        return 0;
    char label[257] = {};
    if (labelStringId)
        LoadResString(labelStringId, label, sizeof label);
    PerformActionResource(actionId, byClick, waitAfter, label);
    return 1;
}

namespace {

// The stack's 'Actn' resource of that id performed (all its actions, or the one action of
// onlyAction) and written back when the performer changed it.
int RunActionResource(uint16_t id, int byClick, int waitAfter, const char* label, uint16_t onlyAction) {
    if (id == 0 || !IsBrowseMode())
        return 0;
    const int32_t stackFile = GetStackResFile();
    if (!stackFile)
        return 1;
    const int32_t previous = CurrentResFile();
    UseResFile(stackFile);
    const Handle action = GetResource(ResType("Actn"), id);
    UseResFile(previous);
    if (!action)
        return 1;  // an event without an action
    uint8_t name[256] = {};
    const size_t length = label ? strnlen(label, 255) : 0;
    name[0] = static_cast<uint8_t>(length);
    std::memcpy(name + 1, label ? label : "", length);
    PendingWork work;
    SetPendingNamedRequest(id, label, byClick);
    const int edited = onlyAction ? PerformOneAction(GetMainWindow(), action, 0, id, byClick, onlyAction)
                                  : PerformObjectActions(GetMainWindow(), action, 0, id, byClick, waitAfter, name);
    if (edited) {
        // The performer changed the block (an edited script): it goes back as the new 'Actn'.
        ReleaseResource(action);
        ResRequest request{};
        request.type = ResType("Actn");
        request.id = id;
        request.data = action;
        request.flags = kResRequestCarryOut | kResRequestReplace;
        if (!WriteStackResource(&request))
            DisposeHandleAndClear(&request.data);
    }
    return 1;
}

}  // namespace

int PerformActionResource(uint16_t id, int byClick, int waitAfter, const char* label) {
    return RunActionResource(id, byClick, waitAfter, label, 0);
}

int ReplayActionResource(uint16_t id, uint16_t action, const char* label, int byClick) {
    return action ? RunActionResource(id, byClick, 0, label, action) : 0;
}

void UpdateCardTitle(bool force) {
    const Handle card = GetCurrentCardRecord();
    std::string name = StackHasFile() ? GetStackName() : "";
    if (name.empty()) {
        char untitled[kFileSpecNameSize] = {};
        LoadResString(2502, untitled, sizeof untitled);
        name = untitled;
    }
    const int number = CardTitleNumber(card);
    const HWND frame = GetFrameWindow();
    std::string title;
    if (IsCardNumberInTitle() && number != 0) {
        char cardText[64] = {};
        LoadResString(kStringCardInTitle, cardText, sizeof cardText);
        title = ComposeCardTitle(name, cardText, HasBackgroundRecord(card), number);
        g_numberedTitle = true;
    } else {
        if (!force && !g_numberedTitle && frame && GetWindowTextLengthA(frame) > 0)
            return;  // a title of the frame's own stays
        title = name;
        g_numberedTitle = false;
    }
    CopyPathText(title, g_title, sizeof g_title);
    if (frame)
        SetWindowTextA(frame, g_title);
}

const char* GetCardTitle() { return g_title; }

