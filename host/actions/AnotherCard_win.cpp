// The another-card sequence: "ANOTHERCARD", walked while it stays up, then "TRANSITIONS"
// (ActionsEditor.h).
#include <cstring>
#include <optional>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "host/actions/ActionsEditor.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackGate.h"
#include "host/player/StackJump.h"
#include "host/player/StackOpening.h"
#include "resources/actions_ids.h"
#include "stack/cards/CardEdit.h"
#include "stack/depth/StackDepth.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint32_t kAlertSaveNewStackFirst = 2359;  // Save, Cancel
constexpr int kWalkTransition = 3, kWalkSpeed = 8;
constexpr UINT kPrevCardCommand = 203, kNextCardCommand = 204;

// What the sequence keeps while it runs. The block's destination is the card chosen so far.
struct AnotherCardState {
    HWND dialog = nullptr;
    int pressed = 0;  // the arrow held down: its control id, 0 none
    bool inside = false;
    // The stack the walk began in, by what it is: a stack never saved is still itself, and the
    // walk's return finds it by its file once it has one.
    StackIdentity startStack{};
    FileSpec startFile{};  // empty while it has no file
    uint16_t startCard = 0;
    FileSpec target{};  // the other stack of the destination, empty for one in the walk's stack
    int16_t destination = 0;
    uint16_t transition = 0, effectValue = 0, speed = 0;
    INT_PTR result = 0;  // 0 while the dialog is up
    bool editingButton = false;
    ButtonLayer button{};  // the edited button as the walk began, without the layer's handles
};
AnotherCardState* g_walk = nullptr;

bool InStartStack() { return IsStackOpen() && IsCurrentStack(g_walk->startStack); }

FileSpec CurrentFile() {
    const FileSpec* current = GetFileSpec(kSlotCurrentStack);
    return StackHasFile() && current ? *current : EmptyFileSpec();
}

void GoWithin(bool next) {
    const EditorOwnMove walk;
    if (next)
        GoNextCard({kWalkTransition, 0, kWalkSpeed});
    else
        GoPrevCard({kWalkTransition, 0, kWalkSpeed});
}

bool PointInArrow(HWND arrow, LPARAM lParam) {
    RECT r{};
    GetClientRect(arrow, &r);
    const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return PtInRect(&r, p) != 0;
}

// The arrows: pressed while the button is down inside, a move on when it is released inside.
LRESULT CALLBACK ArrowProc(HWND arrow, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = GetDlgCtrlID(arrow);
    switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
        if (g_walk) {
            SetCapture(arrow);
            g_walk->pressed = id;
            g_walk->inside = true;
            InvalidateRect(arrow, nullptr, FALSE);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (g_walk && g_walk->pressed == id) {
            const bool inside = PointInArrow(arrow, lParam);
            if (inside != g_walk->inside) {
                g_walk->inside = inside;
                InvalidateRect(arrow, nullptr, FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP:
        if (g_walk && g_walk->pressed == id) {
            ReleaseCapture();
            const bool inside = PointInArrow(arrow, lParam);
            g_walk->pressed = 0;
            InvalidateRect(arrow, nullptr, FALSE);
            if (inside)
                GoWithin(id == IDC_CARD_NEXT);
        }
        return 0;
    default:
        // The control's own procedure, kept with it when the arrow took its place.
        return CallWindowProcA(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(arrow, GWLP_USERDATA)), arrow, message,
                               wParam, lParam);
    }
}

void DrawArrow(const DRAWITEMSTRUCT& item) {
    const bool next = item.CtlID == IDC_CARD_NEXT;
    const bool down = g_walk && g_walk->pressed == static_cast<int>(item.CtlID) && g_walk->inside;
    const int id = next ? (down ? IDB_ARROW_RIGHT_DOWN : IDB_ARROW_RIGHT) : (down ? IDB_ARROW_LEFT_DOWN : IDB_ARROW_LEFT);
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    HBITMAP bitmap = LoadBitmapA(GetAppInstance(), MAKEINTRESOURCEA(id));
    if (!bitmap)
        return;
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC memory = CreateCompatibleDC(item.hDC);
    if (memory) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        const int x = (item.rcItem.left + item.rcItem.right - info.bmWidth) / 2;
        const int y = (item.rcItem.top + item.rcItem.bottom - info.bmHeight) / 2;
        BitBlt(item.hDC, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    }
    DeleteObject(bitmap);
}

// Before the walk leaves the stack it began in for another: its changes are saved or given up
// (the stack gate), and a stack never saved is saved first, or the walk could not come back to
// it. Cancel keeps the walk where it is. Once saved, the walk goes back to the file saved.
bool MayLeaveForAnotherStack(const StackGateScope& gate, const FileSpec* destination) {
    if (!InStartStack() || (destination && StackHasFile() && SameSpecPath(*destination, CurrentFile())))
        return true;  // a walk already away from its stack, or a destination in it
    if (!StackHasFile()) {
        if (ShowAlert(kAlertSaveNewStackFirst) != 1 || SaveStackAs() != 1 || !StackHasFile())
            return false;
    } else if (!gate.MayReplaceStack()) {
        return false;
    }
    g_walk->startStack = CurrentStackIdentity();
    g_walk->startFile = CurrentFile();
    return true;
}

bool MenuLockOff() { return GetHandleWord(GetStackHeaderHandle(), kHeaderLocked) == 0; }

void StartDialog(HWND dialog) {
    g_walk->dialog = dialog;
    const FileSpec& target = g_walk->target;
    const bool otherStack = target.path[0] != 0;
    // "Go to another stack" shows that stack, from its first card.
    const EditorOwnMove walk;
    const StackGateScope gate;
    if (g_walk->destination == kDestOtherStack && otherStack) {
        if (MayLeaveForAnotherStack(gate, &target))
            GoToStackCard(0, target, {kWalkTransition, 0, kWalkSpeed}, false);
    } else if (g_walk->destination > 0) {
        if (otherStack) {
            if (MayLeaveForAnotherStack(gate, &target))
                GoToStackCard(static_cast<uint16_t>(g_walk->destination), target, {kWalkTransition, 0, kWalkSpeed},
                              false);
        } else if (static_cast<uint16_t>(g_walk->destination) != GetCurrentCardId()) {
            GoToCardInStack(static_cast<uint16_t>(g_walk->destination), {kWalkTransition, 0, kWalkSpeed});
        }
    }
    EnableWindow(GetDlgItem(dialog, IDC_CARD_NEW_TIP), MenuLockOff());
    for (int id : {IDC_CARD_PREVIOUS, IDC_CARD_NEXT}) {
        HWND arrow = GetDlgItem(dialog, id);
        SetWindowLongPtrA(arrow, GWLP_USERDATA, GetWindowLongPtrA(arrow, GWLP_WNDPROC));
        SetWindowLongPtrA(arrow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ArrowProc));
    }
}

// OK: the card shown is the destination; in another stack than the walk's, that stack's file
// names it.
void TakeCard() {
    g_walk->destination = static_cast<int16_t>(GetCurrentCardId());
    if (IsStackOpen())
        g_walk->target = InStartStack() ? EmptyFileSpec() : CurrentFile();
}

INT_PTR CALLBACK AnotherCardProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: StartDialog(dialog); return TRUE;
    case WM_DRAWITEM: DrawArrow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            TakeCard();
            g_walk->result = IDOK;
        } else if (LOWORD(wParam) == IDCANCEL) {
            g_walk->result = IDCANCEL;
        }
        return TRUE;
    case WM_CLOSE: g_walk->result = IDCANCEL; return TRUE;
    default: return FALSE;
    }
}

// Ctrl+O opens another stack, Ctrl+N adds a card (while the tip is enabled), Alt with an arrow
// moves through the card window's menu commands; other keys do nothing. True when taken.
bool TakeKey(const MSG& msg) {
    const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!down)
        return msg.message == WM_CHAR && (GetKeyState(VK_CONTROL) & 0x8000);
    const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool alt = msg.message == WM_SYSKEYDOWN || (GetKeyState(VK_MENU) & 0x8000);
    if (alt && (msg.wParam == VK_LEFT || msg.wParam == VK_RIGHT || msg.wParam == VK_UP || msg.wParam == VK_DOWN)) {
        PostMessageA(GetMainWindow(), WM_COMMAND, msg.wParam == VK_LEFT ? kPrevCardCommand : kNextCardCommand, 0);
        return true;
    }
    if (!ctrl)
        return false;
    const EditorOwnMove walk;
    if (msg.wParam == 'O') {
        const StackGateScope gate;
        if (MayLeaveForAnotherStack(gate, nullptr))
            OpenStack(true);
        return true;
    }
    if (msg.wParam == 'N') {
        if (IsWindowEnabled(GetDlgItem(g_walk->dialog, IDC_CARD_NEW_TIP)) && IsStackOpen()) {
            CheckStackDepthAgainstDisplay();
            NewCard(true, false);
            MarkCardChanged();
        }
        return true;
    }
    return false;
}

// A click or key for the card or one of its fields: the walk moves only through its own buttons
// and keys, so nothing on the card opens another editor inside the one that asked for the walk.
bool ForTheCard(const MSG& msg) {
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSELAST) || msg.message == WM_CONTEXTMENU;
    HWND card = GetMainWindow();
    return input && card && msg.hwnd && (msg.hwnd == card || IsChild(card, msg.hwnd));
}

// The dialog runs beside the card: its own loop, so the keys reach it whatever has the focus.
INT_PTR RunAnotherCardDialog(HWND window) {
    g_walk->result = 0;
    HWND dialog = ResCreateDialog(window, AnotherCardProc, "ANOTHERCARD");
    if (!dialog)
        return IDCANCEL;
    ShowWindow(dialog, SW_SHOW);
    const RunningDialogScope running(dialog);  // what opens during the walk is owned by it
    MSG msg{};
    while (!g_walk->result) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            g_walk->result = IDCANCEL;
            break;
        }
        if (TakeKey(msg))
            continue;
        if (ForTheCard(msg)) {
            // The click activated the page: the walk takes the keys back.
            if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK)
                SetFocus(dialog);
            continue;
        }
        if (!IsWindow(dialog) || !IsWindowVisible(dialog)) {
            g_walk->result = IDCANCEL;  // ended from outside (EndDialog hides a dialog)
            break;
        }
        // The walk's own moves by Alt and an arrow come back as menu commands of the card window.
        const bool walkCommand = msg.message == WM_COMMAND && msg.hwnd == GetMainWindow() &&
                                 (msg.wParam == kPrevCardCommand || msg.wParam == kNextCardCommand);
        const std::optional<EditorOwnMove> walk = walkCommand ? std::optional<EditorOwnMove>(std::in_place) : std::nullopt;
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (IsWindow(dialog))
        DestroyWindow(dialog);
    g_walk->dialog = nullptr;
    return g_walk->result;
}

}  // namespace

HWND GetEditedObject() { return g_walk ? g_walk->dialog : nullptr; }
bool IsWalkingToAnotherCard() { return g_walk != nullptr; }
bool IsWalkAwayFromItsStack() { return g_walk && IsStackOpen() && !InStartStack(); }

int RunAnotherCardSequence(HWND window, ActionBlock& edited, Handle* editedButton) {
    if (g_walk)
        return 0;
    // Nothing but the walk itself leaves the card while it runs.
    const EditorGuard guard;
    AnotherCardState state;
    ActionBlock* block = &edited;
    state.startCard = GetCurrentCardId();
    if (Handle button = editedButton ? *editedButton : 0; button && GetHandleSize(button) >= sizeof(ButtonLayer)) {
        HandleLock lock(button);
        if (lock) {
            state.button = PlainButtonCopy(*reinterpret_cast<const ButtonLayer*>(lock.get()));
            state.editingButton = true;
        }
    }
    if (IsStackOpen()) {
        state.startStack = CurrentStackIdentity();
        state.startFile = CurrentFile();
    }
    // The actions editor keeps the destination's other stack in its file slot; the walk works on
    // its own copy and gives it back only when a card is taken.
    if (const FileSpec* target = GetFileSpec(kSlotTargetStack))
        state.target = *target;
    state.destination = block->destination;
    state.transition = block->transition;
    state.effectValue = block->effectValue;
    state.speed = block->transitionSpeed;
    const ActionBlock before = *block;
    g_walk = &state;
    bool taken = false;
    for (;;) {
        if (RunAnotherCardDialog(window) != IDOK)
            break;
        block->destination = state.destination;
        const int answer = RunTransitionsDialog(window, *block, 0, kTitleTransitions, 0, 0);
        // The transitions dialog is shown again with "&Change Card" while the walk goes on.
        state.transition = block->transition;
        state.effectValue = block->effectValue;
        state.speed = block->transitionSpeed;
        if (answer == IDOK) {
            taken = true;
            break;
        }
        if (answer != IDC_TRANS_CHANGE_CARD)
            break;
    }
    // Back to the card the walk began on, in its stack. A jump still waiting for the other stack
    // to arrive was the walk's: it is given up.
    DropWalksStackJump();
    {
        const EditorOwnMove walk;
        const StackGateScope gate;
        if (InStartStack()) {
            if (GetCurrentCardId() != state.startCard)
                GoToCardInStack(state.startCard, {kWalkTransition, 0, kWalkSpeed});
        } else if (state.startFile.path[0]) {
            // Changes made away from it (a new card there) are saved or given up, never cancelled
            // (asked again while a Save does not happen): the walk must go back, and its jump then
            // asks nothing more. The stack read again from its file is the same stack: what
            // waits for it is still its own.
            gate.MayReplaceStack(GateQuestion::MustGo);
            GoToStackCard(state.startCard, state.startFile, {kWalkTransition, 0, kWalkSpeed}, false);
            if (InStartStack())
                KeepGuardStack(state.startStack.session, CurrentStackIdentity().session);
        }
    }
    g_walk = nullptr;
    if (state.editingButton)
        KeepEditedButton(state.button, editedButton);
    if (!taken) {
        block->destination = before.destination;
        block->transition = before.transition;
        block->effectValue = before.effectValue;
        block->transitionSpeed = before.transitionSpeed;
        return 0;
    }
    // The card is not marked changed here: the actions are written, and the card marked, only
    // by the Done that ends their dialog; a Cancel then leaves the stack as it was.
    block->destination = state.destination;
    PutFileSpec(kSlotTargetStack, state.target);
    return 1;
}
