// INF_STACK and INF_CARD: what a stack or card is, its actions and cursor. The dialog ends with
// an event box's id when that box is checked; the actions editor then runs on the record's
// copy of that action and the dialog opens again from the record.
#include "authoring/info/InfoDialogs.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WindowUtils.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectInfo.h"
#include "objects/buttons/ButtonIcons.h"
#include "resources/info_ids.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepthChange.h"
#include "stack/dialogs/InfoDialogsRecord.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr int kStackEvents[3] = {INF_STACK_ARRIVING, INF_STACK_LEAVING, INF_STACK_CLICKING};
constexpr int kCardEvents[3] = {INF_CARD_ARRIVING, INF_CARD_LEAVING, INF_CARD_CLICKING};
constexpr int kStackEditorModes[3] = {kActionsOfStackArriveLeave, kActionsOfStackArriveLeave, kActionsOfStackClick};
constexpr int kCardEditorModes[3] = {kActionsOfCardArriveLeave, kActionsOfCardArriveLeave, kActionsOfCardClick};
constexpr uint16_t kEventFlags[3] = {kInfoArriving, kInfoLeaving, kInfoClicking};
constexpr uint32_t kString256Colors = 4180, kStringHighColor = 4178, kStringTrueColor = 4179;
constexpr uint32_t kString16Colors = 200;

uint16_t ChosenIconId() {
    const IconSelection* selection = GetIconSelection();
    return selection ? selection->id : 0;
}

// Whether an action record does anything (a sound, an animation, a destination...).
bool HoldsActions(Handle record) {
    ActionBlock block{};
    if (!LoadActionBlock(record, 0, &block))
        return false;
    // An empty record carries the timer's default delay: a timer counts only once it has a mode.
    const bool any = block.soundId || block.soundIsFile || block.animationData || block.destination ||
                     block.logoScript || block.nbaData || block.nbaId || block.launchOption ||
                     (block.timerMode && block.timerValue) || block.testingChoice || block.movieSet || block.urlSet;
    DisposeActionBlockData(&block);
    return any;
}

// The dialog's state between re-openings, kept with each opening of the dialog.
struct InfoSession {
    bool reopened = false;
    Handle headerCopy = 0;  // INF_STACK: the values the size change works on
    // What the dialog describes: a timer or a module may go to another card or stack under it,
    // and what was chosen for one is not written onto the other.
    bool isStack = false;
    StackIdentity stack = {};  // the stack by session or file, not by its name alone
    uint16_t cardId = 0;
};

InfoSession& SessionOf(HWND dialog) { return *reinterpret_cast<InfoSession*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void NameSubject(InfoSession& session, bool isStack) {
    session.isStack = isStack;
    session.stack = CurrentStackIdentity();
    session.cardId = GetCurrentCardId();
}

bool SubjectLeft(const InfoSession& session) {
    return !IsCurrentStack(session.stack) || (!session.isStack && GetCurrentCardId() != session.cardId);
}

// Runs f on the locked info record.
template <class F>
void WithRecord(F f) {
    HandleLock lock(GetInfoDialogRecord());
    if (lock)
        f(*reinterpret_cast<InfoDialogRecord*>(lock.get()));
}


void AppendToCaption(HWND dialog, const std::string& tail) {
    char caption[128] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    SetWindowTextA(dialog, (std::string(caption) + tail).c_str());
}

void SetNumber(HWND dialog, int item, long value) { SetDlgItemTextA(dialog, item, std::to_string(value).c_str()); }

// The event boxes: first time from the stored actions, re-opened from the record's copies.
void ShowEventBoxes(HWND dialog, const int (&items)[3]) {
    const bool reopened = SessionOf(dialog).reopened;
    WithRecord([&](InfoDialogRecord& r) {
        for (int i = 0; i < 3; ++i) {
            const bool on = reopened ? (r.flags & kEventFlags[i]) != 0
                                               : HoldsActions(InfoAction(r, i));
            if (on)
                r.flags |= kEventFlags[i];
            else
                r.flags &= ~kEventFlags[i];
            SetItemChecked(dialog, items[i], on);
        }
    });
}

// An event box pressed: its flag follows the box; a checked box ends the dialog for the editor.
bool EventPressed(HWND dialog, int item, const int (&items)[3]) {
    for (int i = 0; i < 3; ++i) {
        if (items[i] != item)
            continue;
        const bool on = IsItemChecked(dialog, item);
        WithRecord([&](InfoDialogRecord& r) {
            r.lastEventButton = static_cast<uint16_t>(item);
            r.flags = on ? (r.flags | kEventFlags[i]) : (r.flags & ~kEventFlags[i]);
        });
        if (on)
            EndDialog(dialog, item);
        return true;
    }
    return false;
}

// The three events and the cursor of the dialog into the id words (old: where they are,
// fresh: where they go); the cursor as the chooser left it.
void ApplyEventsAndCursor(HWND dialog, const int (&items)[3], int cursorItem, const ActionWords& words,
                          std::span<uint8_t> old, std::span<uint8_t> fresh) {
    WithRecord([&](InfoDialogRecord& r) {
        for (int i = 0; i < 3; ++i) {
            uint16_t oldId = GetU16(old, words.action[i]);
            uint16_t newId = GetU16(fresh, words.action[i]);
            SetOrDropActionResource(InfoAction(r, i), &oldId, &newId, IsItemChecked(dialog, items[i]));
            SetU16(fresh, words.action[i], newId);
        }
    });
    const uint16_t cursor = GetU16(old, words.cursor);
    if (!IsItemChecked(dialog, cursorItem))
        SetU16(fresh, words.cursor, MapButtonIconId(cursor, 0));
    else if (const uint16_t chosen = ChosenIconId())
        SetU16(fresh, words.cursor, MapButtonIconId(cursor, chosen));
}

void DisposeHeaderCopy(InfoSession& session) { DisposeHandleAndClear(&session.headerCopy); }

// ---- INF_STACK ----

void OpenStackInfo(HWND dialog) {
    AppendToCaption(dialog, GetStackName() ? GetStackName() : "");
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    if (!lock || GetHandleSize(header) < kStackHeaderBytes) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    const std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
    SetNumber(dialog, INF_STACK_CARDS, GetCardCount());
    SetNumber(dialog, INF_STACK_WIDTH, GetU16(h, kHeaderCardWidth));
    SetNumber(dialog, INF_STACK_HEIGHT, GetU16(h, kHeaderCardHeight));
    const int depth = GetScreenDepth();
    const uint32_t colors = depth == 4    ? kString16Colors
                            : depth == 8  ? kString256Colors
                            : depth == 16 ? kStringHighColor
                                          : kStringTrueColor;
    SetDlgItemTextA(dialog, INF_STACK_COLORS, ResText(colors).c_str());
    StackStatistics statistics;
    GetStackStatistics(&statistics);
    SetDlgItemTextA(dialog, INF_STACK_MEMORY, KilobytesText(statistics.cardBytes).c_str());
    SetDlgItemTextA(dialog, INF_STACK_DISK,
                    KilobytesText(statistics.cardBytes + statistics.resourceBytes).c_str());
    MEMORYSTATUSEX memory{sizeof memory};
    GlobalMemoryStatusEx(&memory);
    const uint64_t megabytes = AvailableMegabytes(memory.ullAvailPhys, memory.ullAvailPageFile);
    SetDlgItemTextA(dialog, INF_STACK_AVAILABLE, (std::to_string(megabytes) + " MB").c_str());
    WithRecord([&](InfoDialogRecord& r) { SetItemChecked(dialog, INF_STACK_CURSOR, r.cursor != 0); });
    ShowEventBoxes(dialog, kStackEvents);
    InfoSession& session = SessionOf(dialog);
    if (!session.headerCopy) {
        session.headerCopy = header;
        if (HandToHand(&session.headerCopy) != 0)
            session.headerCopy = 0;
    }
    EnableWindow(GetDlgItem(dialog, INF_STACK_CHANGE), session.headerCopy != 0);
}

void ChangeSizeAndColors(HWND dialog) {
    HandleLock lock(SessionOf(dialog).headerCopy);
    if (!lock)
        return;
    const std::span<uint8_t> copy(lock.get(), kStackHeaderBytes);
    int width = GetU16(copy, kHeaderCardWidth), height = GetU16(copy, kHeaderCardHeight);
    int depth = GetU16(copy, kHeaderDepth);
    if (AskStackSizeAndColors(dialog, kOpenStackSizeMode, &width, &height, &depth) != 0)
        return;
    SetU16(copy, kHeaderCardWidth, static_cast<uint16_t>(width));
    SetU16(copy, kHeaderCardHeight, static_cast<uint16_t>(height));
    SetU16(copy, kHeaderDepth, static_cast<uint16_t>(depth));
}

int ApplyStackInfo(HWND dialog) {
    InfoSession& session = SessionOf(dialog);
    const Handle header = GetStackHeaderHandle();
    bool changed = false;
    {
        HandleLock h(header), c(session.headerCopy);
        if (!h || !c || GetHandleSize(header) < kStackHeaderBytes)
            return IDCANCEL;
        const std::span<uint8_t> old(h.get(), kStackHeaderBytes), fresh(c.get(), kStackHeaderBytes);
        ApplyEventsAndCursor(dialog, kStackEvents, INF_STACK_CURSOR, kStackActionWords, old, fresh);
        for (uint32_t word : {kHeaderStackActionA, kHeaderClosingAction, kHeaderCursorId, kHeaderStackActionB})
            changed = changed || GetU16(old, word) != GetU16(fresh, word);
        if (changed)
            for (uint32_t word : {kHeaderStackActionA, kHeaderClosingAction, kHeaderCursorId, kHeaderStackActionB})
                SetU16(old, word, GetU16(fresh, word));
    }
    if (changed)
        MarkCardChanged();
    if (HWND frame = GetMainWindow())
        SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(dialog, SW_HIDE);
    const int result = ChangeStackSizeAndDepth(GetCardWindow(), header, session.headerCopy);
    ClearIconSelection();
    DisposeHeaderCopy(session);
    return result == 0 ? IDOK : IDCANCEL;
}

INT_PTR CALLBACK StackInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    InfoSession* session = KeptDialogState<InfoSession>(dialog, message, lParam);
    if (!session)
        return FALSE;
    if (message == WM_INITDIALOG) {
        OpenStackInfo(dialog);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    const int item = LOWORD(wParam);
    if (EventPressed(dialog, item, kStackEvents))
        return TRUE;
    switch (item) {
    case INF_STACK_CHANGE: ChangeSizeAndColors(dialog); return TRUE;
    case INF_STACK_CURSOR: {
        int32_t cursor = 0;
        WithRecord([&](InfoDialogRecord& r) { cursor = r.cursor; });
        ChooseIconIfChecked(dialog, INF_STACK_CURSOR, static_cast<uint16_t>(cursor));
        return TRUE;
    }
    case IDOK:
        if (!SubjectLeft(*session)) {
            EndDialog(dialog, ApplyStackInfo(dialog));
            return TRUE;
        }
        [[fallthrough]];
    case IDCANCEL:
        ClearIconSelection();
        DisposeHeaderCopy(*session);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

// ---- INF_CARD ----

void KeepCardState(HWND dialog) {
    WithRecord([&](InfoDialogRecord& r) {
        GetDlgItemTextA(dialog, INF_CARD_NAME, r.name, sizeof r.name);
        const std::pair<int, uint16_t> boxes[] = {
            {INF_CARD_MARKED, kInfoMarkedCard}, {INF_CARD_LOCK, kInfoLockColors}, {INF_CARD_GROUP, kInfoGroupCard}};
        for (auto [box, flag] : boxes)
            r.flags = IsItemChecked(dialog, box) ? (r.flags | flag) : (r.flags & ~flag);
    });
}

void OpenCardInfo(HWND dialog) {
    const Handle card = GetCurrentCardRecord();
    AppendToCaption(dialog, std::to_string(GetCardIndex(card)));
    const bool hasGroup = HasBackgroundRecord(card);
    HandleLock lock(card);
    if (!lock || GetHandleSize(card) < kCardHeaderBytes) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    const std::span<const uint8_t> c = lock.bytes();
    EnableWindow(GetDlgItem(dialog, INF_CARD_GROUP), hasGroup);
    SetDlgItemTextA(dialog, INF_CARD_SIZE, KilobytesText(static_cast<uint32_t>(c.size())).c_str());
    SetDlgItemTextA(dialog, INF_CARD_BACKGROUND, KilobytesText(CardBackgroundBytes(c)).c_str());
    SetNumber(dialog, INF_CARD_ID, GetU16(c, kCardId));
    SendDlgItemMessageA(dialog, INF_CARD_NAME, EM_LIMITTEXT, kCardNameBytes - 1, 0);
    SetItemChecked(dialog, INF_CARD_CURSOR, GetU16(c, kCardCursor) != 0);
    if (SessionOf(dialog).reopened) {
        WithRecord([&](InfoDialogRecord& r) {
            SetDlgItemTextA(dialog, INF_CARD_NAME, r.name);
            SetItemChecked(dialog, INF_CARD_MARKED, r.flags & kInfoMarkedCard);
            SetItemChecked(dialog, INF_CARD_LOCK, r.flags & kInfoLockColors);
            SetItemChecked(dialog, INF_CARD_GROUP, hasGroup && (r.flags & kInfoGroupCard));
        });
    } else {
        const size_t length = std::min<size_t>(c[kCardName], kCardNameBytes - 1);
        SetDlgItemTextA(dialog, INF_CARD_NAME,
                        std::string(reinterpret_cast<const char*>(c.data() + kCardName + 1), length).c_str());
        SetItemChecked(dialog, INF_CARD_MARKED, GetU16(c, kCardFlags) & kCardMarked);
        SetItemChecked(dialog, INF_CARD_LOCK, GetU16(c, kCardFlags) & kCardLockColors);
        SetItemChecked(dialog, INF_CARD_GROUP, hasGroup);
    }
    ShowEventBoxes(dialog, kCardEvents);
}

void ApplyCardInfo(HWND dialog) {
    const Handle card = GetCurrentCardRecord();
    const bool hasGroup = HasBackgroundRecord(card);
    {
        HandleLock lock(card);
        if (!lock || GetHandleSize(card) < kCardHeaderBytes)
            return;
        const std::span<uint8_t> c = lock.bytes();
        ApplyEventsAndCursor(dialog, kCardEvents, INF_CARD_CURSOR, kCardActionWords, c, c);
        char name[32] = {};
        GetDlgItemTextA(dialog, INF_CARD_NAME, name, sizeof name);
        ApplyCardNameAndFlags(c, name, IsItemChecked(dialog, INF_CARD_MARKED), IsItemChecked(dialog, INF_CARD_LOCK));
    }
    if (IsWindowEnabled(GetDlgItem(dialog, INF_CARD_GROUP)) && hasGroup && !IsItemChecked(dialog, INF_CARD_GROUP))
        SwitchCardBackgroundMode(card);
    MarkCardChanged();
    ClearIconSelection();
}

INT_PTR CardInfoCommand(HWND dialog, int item) {
    if (item == kCardEvents[0] || item == kCardEvents[1] || item == kCardEvents[2]) {
        KeepCardState(dialog);
        EventPressed(dialog, item, kCardEvents);
        return TRUE;
    }
    switch (item) {
    case INF_CARD_CURSOR: {
        const uint16_t cursor = GetHandleWord(GetCurrentCardRecord(), kCardCursor);
        ChooseIconIfChecked(dialog, INF_CARD_CURSOR, cursor);
        return TRUE;
    }
    case IDOK:
        if (SubjectLeft(SessionOf(dialog))) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        ApplyCardInfo(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK CardInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!KeptDialogState<InfoSession>(dialog, message, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: OpenCardInfo(dialog); return TRUE;
    case WM_COMMAND: return CardInfoCommand(dialog, LOWORD(wParam));
    default: return FALSE;
    }
}

}  // namespace


int ShowInfoDialog(HWND window, bool isStack) {
    const EditorGuard guard;
    if (!PrepareInfoDialogRecord(isStack))
        return IDCANCEL;
    InfoSession session;
    NameSubject(session, isStack);
    const int(&events)[3] = isStack ? kStackEvents : kCardEvents;
    const int(&modes)[3] = isStack ? kStackEditorModes : kCardEditorModes;
    INT_PTR result = IDCANCEL;
    const StackResourceMark resources = MarkStackResources();
    for (;;) {
        const auto param = reinterpret_cast<LPARAM>(&session);
        result = isStack ? ResDialogBoxParam(window, StackInfoProc, "INF_STACK", param)
                         : ResDialogBoxParam(window, CardInfoProc, "INF_CARD", param);
        int event = -1;
        for (int i = 0; i < 3; ++i)
            if (result == events[i])
                event = i;
        if (event < 0)
            break;
        // The card or stack the edit is for is no longer shown: it is dropped.
        if (SubjectLeft(session)) {
            result = IDCANCEL;
            break;
        }
        Handle action = 0;
        WithRecord([&](InfoDialogRecord& r) { action = InfoAction(r, event); });
        EditObjectActions(action, 0, modes[event]);
        if (SubjectLeft(session)) {
            result = IDCANCEL;
            break;
        }
        session.reopened = true;
    }
    if (result != IDOK) {
        // What the actions dialog stored on its way goes with the Cancel.
        ClearPendingRequests();
        DropStackResourcesSince(resources);
    }
    DisposeHeaderCopy(session);
    FreeInfoDialogData();
    return result == IDOK ? IDOK : IDCANCEL;
}
