// Leaving and entering cards, the moves between them, the event actions and the title.
#include "layers/CardFlush.h"
#include "host/player/CardNavigation.h"

#include <cstring>
#include <string>

#include "actions/Animations.h"
#include "actions/NbaEvents.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
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
#include "cardview/transitions/QtEffectState.h"
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
void MoveToCard(Handle target, bool withHistory, CardMove move) {
    if (!IsStackOpen() || !target)
        return;
    const uint16_t id = GetCardId(target);
    LeaveCardFor(move, withHistory);
    SetCurrentCardId(id);
    EnterCard(move, false);
}

void GoToCard(uint16_t id, bool withHistory, CardMove move) {
    if (!IsStackOpen())
        return;
    LeaveCardFor(move, withHistory);
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
bool PlaysCardActions() { return !EditorMoves(); }

}  // namespace

void LeaveCard(bool withHistory) {
    if (!IsStackOpen())
        return;
    if (withHistory)
        PushCardHistory();
    NotifyStackNBAs(kNbaEventLeaveCard);
    if (PlaysCardActions())
        RunCardAction(GetHandleWord(GetCurrentCardRecord(), kCardAction2), kByEvent, 1, kStringLeaveCardAction);
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

void LeaveCardFor(CardMove& move, bool withHistory) {
    if (move.effect != 0)
        QTFreeEffectState();
    TakeOldCard(move, GetMainWindow(), IsStackOpen() ? GetCurrentCardRecord() : 0);
    LeaveCard(withHistory);
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
            RunCardAction(GetHandleWord(GetStackHeaderHandle(), kHeaderStackActionA), kByEvent, 0, kStringArriveStackAction);
        RunCardAction(GetHandleWord(card, kCardAction1), kByEvent, 0, kStringArriveCardAction);
    }
    const bool realized = window && RealizeAppPalette(window, GetAppPalette());
    ReloadFillPatterns();
    return realized ? 1 : 0;
}

namespace {

// This stack when the file names it (a stack without a file: when the file names none).
bool NamesThisStack(const FileSpec& stack) {
    return StackHasFile() ? SameSpecPath(stack, *GetFileSpec(kSlotCurrentStack)) : stack.path[0] == 0;
}

FileSpec SlotFile(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    return spec ? *spec : EmptyFileSpec();
}

int MoveTo(const CardTarget& target, const CardMove& move) {
    switch (target.kind) {
    case CardTarget::kFirst: MoveToCard(FirstLiveCard(), true, move); return 1;
    case CardTarget::kLast: MoveToCard(LastLiveCard(), true, move); return 1;
    case CardTarget::kPrevious: MoveToCard(PreviousLiveCard(GetCurrentCardRecord()), true, move); return 1;
    case CardTarget::kNext: MoveToCard(NextLiveCard(GetCurrentCardRecord()), true, move); return 1;
    case CardTarget::kCardId: GoToCard(target.id, true, move); return 1;
    case CardTarget::kCardInStack: GoToCard(target.id, false, move); return 1;
    case CardTarget::kStackCard: {
        if (!NamesThisStack(target.stack))
            return GoToAnotherStack(target.stack, target.id, move, target.withHistory, true);
        if (!IsStackOpen())
            return 0;
        GoToCard(target.id ? target.id : GetCardId(FirstLiveCard()), target.withHistory, move);
        return 1;
    }
    case CardTarget::kRecent:
        if (GetRecentCardId() == 0) {
            ShowAlert(kAlertNoMarkedCard);
            return 0;
        }
        return MoveTo({CardTarget::kStackCard, GetRecentCardId(), SlotFile(kSlotPreviousStack)}, move);
    case CardTarget::kBack: {
        uint16_t id = 0;
        bool otherStack = false;
        if (!PopCardHistory(&id, &otherStack))
            return 0;
        if (otherStack)
            return GoToAnotherStack(SlotFile(kSlotHistoryStack), id, move, false, true);
        GoToCard(id, false, move);
        return 1;
    }
    case CardTarget::kHome:
        if (!IsHomeStackKnown())
            return 0;
        return MoveTo({CardTarget::kStackCard, GetHomeCardId(), SlotFile(kSlotHomeStack)}, move);
    }
    return 0;
}

}  // namespace

int GoTo(const CardTarget& target, const CardMove& move) {
    if (HoldUnderEditor(HeldScope::kCard, [=] { GoTo(target, move); }))
        return 0;
    return MoveTo(target, move);
}

void GoFirstCard(const CardMove& move) { GoTo({CardTarget::kFirst}, move); }
void GoLastCard(const CardMove& move) { GoTo({CardTarget::kLast}, move); }
void GoPrevCard(const CardMove& move) { GoTo({CardTarget::kPrevious}, move); }
void GoNextCard(const CardMove& move) { GoTo({CardTarget::kNext}, move); }
void GoToCardId(uint16_t id, const CardMove& move) { GoTo({CardTarget::kCardId, id}, move); }
void GoToCardInStack(uint16_t id, const CardMove& move) { GoTo({CardTarget::kCardInStack, id}, move); }
int GoToStackCard(uint16_t id, const FileSpec& stack, const CardMove& move, bool withHistory) {
    return GoTo({CardTarget::kStackCard, id, stack, withHistory}, move);
}
void GoRecentCard(const CardMove& move) { GoTo({CardTarget::kRecent}, move); }
void GoBackInHistory(const CardMove& move) { GoTo({CardTarget::kBack}, move); }
void GoHomeStack(const CardMove& move) { GoTo({CardTarget::kHome}, move); }

int RunCardAction(uint16_t actionId, ActionOrigin origin, int waitAfter, uint32_t labelStringId) {
    if (actionId == 0 || !IsBrowseMode())
        return 0;
    char label[257] = {};
    if (labelStringId)
        LoadResString(labelStringId, label, sizeof label);
    PerformActionResource(actionId, origin, waitAfter, label);
    return 1;
}

namespace {

// The stack's 'Actn' resource of that id performed (all its actions, or the one action of
// onlyAction) and written back when the performer changed it.
int RunActionResource(uint16_t id, ActionOrigin origin, int waitAfter, const char* label, uint16_t onlyAction) {
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
    SetPendingNamedRequest(id, label, origin);
    const int edited = onlyAction ? PerformOneAction(GetMainWindow(), action, 0, id, origin, onlyAction)
                                  : PerformObjectActions(GetMainWindow(), action, 0, id, origin, waitAfter, name);
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

int PerformActionResource(uint16_t id, ActionOrigin origin, int waitAfter, const char* label) {
    return RunActionResource(id, origin, waitAfter, label, 0);
}

int ReplayActionResource(uint16_t id, uint16_t action, const char* label, ActionOrigin origin) {
    return action ? RunActionResource(id, origin, 0, label, action) : 0;
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
    // In a browser there is no frame of ours: the card window (the page's embed) carries the
    // title as its text, where the browser, or an extension that shows our commands, can read
    // it. Stored past the window's own procedure, which is not ours and may draw its text.
    if (frame)
        SetWindowTextA(frame, g_title);
    else if (const HWND cardWindow = GetCardWindow())
        DefWindowProcA(cardWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_title));
}

const char* GetCardTitle() { return g_title; }

