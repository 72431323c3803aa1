// The move at the end of the actions: to a card of another stack (chunk 60), else to a special
// destination or a card of this stack; and the move to another stack itself (StackJump.h,
// ActionPerform.h).
#include "host/player/StackJump.h"

#include <cstring>
#include <vector>

#include "actions/ActionRecord.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "graphics/palette/AppPalette.h"
#include "cardview/transitions/CardTransitions.h"
#include "host/player/ActionPerform.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackGate.h"
#include "host/player/StackOpening.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/open/StackOpen.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr uint16_t kStringFindStack = 2413;   // "Please find the stack named: "
constexpr uint32_t kStringStacksFilter = 4070;  // "Stacks (*.STK)"

// The application palette's entry of a colour index stored plus one; black for 0 or an index
// past the palette.
COLORREF TransitionColor(uint16_t storedIndex) {
    const HPALETTE palette = GetAppPalette();
    WORD count = 0;
    if (storedIndex == 0 || !palette || !GetObjectA(palette, sizeof count, &count) || storedIndex > count)
        return RGB(0, 0, 0);
    PALETTEENTRY entry = {};
    if (!GetPaletteEntries(palette, storedIndex - 1u, 1, &entry))
        return RGB(0, 0, 0);
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

// The move to another stack whose file was not found: in a web stack it has been asked of the
// browser, and the move goes on when it arrives. The card was left already.
struct WaitingJump {
    bool waiting = false;
    FileSpec target{};  // the stack asked for
    uint16_t cardId = 0;
    CardMove move;
    bool rememberedFirst = false;
    bool forWalk = false;  // asked by the card walk: it goes on only while the walk runs
    // The stack as the user let it go when the move began: the move goes on from it without a
    // question only while it is unedited since.
    StackLetGo letGo{};
} g_waitingJump;

bool HasHomeStackName(const FileSpec& stack) {
    char name[kFileSpecNameSize] = {};
    GetPathFileName(stack.path, name, sizeof name);
    return IsHomeStackName(name);
}

}  // namespace

bool ReadActionMove(Handle record, uint32_t offset, ActionMove* move) {
    return ReadActionRecordAt(record, offset, [&](std::span<const uint8_t> r) {
        move->destination = GetI16(r, kButtonDestination);
        move->transition = GetU16(r, kButtonTransition);
        move->speed = GetU16(r, kButtonSpeed);
        move->effect = GetU16(r, kButtonEffect);
        move->colorIndex = GetU16(r, kButtonFillColor);
        move->rect = {GetI16(r, kObjectRect), GetI16(r, kObjectRect + 2), GetI16(r, kObjectRect + 4),
                      GetI16(r, kObjectRect + 6)};
        uint32_t at = 0;
        move->otherStack = FindChunk(r, kTagOtherStack, &at);
        if (move->otherStack) {
            const std::span<const uint8_t> payload = ChunkPayload(r.subspan(at, GetU32(r, at + kObjectLength)));
            move->stackEntry.assign(payload.begin(), payload.end());
        }
    });
}

void GoToActionDestination(const ActionMove& move, const ActionMarks& marks, uint16_t objectId) {
    const Rect32& r = move.rect;
    // The fade to the object's colour and the zoom from its centre are this move's only.
    CardMove shown{move.transition, move.effect, move.speed, TransitionColor(move.colorIndex),
                   POINT{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}};
    if (move.otherStack) {
        FileSpec stack = EmptyFileSpec();
        UnpackFileSpecTo(&stack, move.stackEntry);
        WaitAfterActions(marks, objectId);
        const bool storedPathFirst = move.destination == kDestOtherStack && HasHomeStackName(stack);
        GoToAnotherStack(stack, static_cast<uint16_t>(move.destination), shown, true, !storedPathFirst);
        return;
    }
    WaitAfterActions(marks, objectId);
    MoveToActionDestination(move.destination, shown);
}

namespace {

// The move itself, once it may run and the user has let the stack go.
int JumpToStack(const FileSpec& stack, uint16_t cardId, CardMove move, bool withHistory, bool rememberedFirst) {
    const std::vector<uint8_t> timers = CopyTimerTable();  // a move that fails leaves them as they were
    LeaveCardFor(move, withHistory);
    if (const HWND window = GetMainWindow())
        ValidateRect(window, nullptr);

    char filter[96] = {};
    const int described = LoadResString(kStringStacksFilter, filter, 64);
    const size_t at = described > 0 ? std::strlen(filter) + 1 : 0;
    std::memcpy(filter + at, "*.stk\0", 7);  // the pattern, then the list's final NUL
    FileRequest request = {};
    request.titleStringId = kStringFindStack;
    request.filter = filter;
    request.slot = kNoSlot;
    request.secondSlot = kNoSlot;
    g_waitingJump = {};
    FileSpec found = stack;
    if (!LocateRememberedFile(request, stack, &found, rememberedFirst)) {
        g_waitingJump = {true, stack, cardId, move, rememberedFirst, EditorMoves()};
        RefreshCurrentCard(1);
        RestoreTimerTable(timers);
        g_waitingJump.letGo = CurrentLetGo();
        return 0;
    }
    // Read whole first: a stack that cannot be read leaves this one open on its card.
    if (LoadOtherStack(found) != kFileOk) {
        RefreshCurrentCard(1);
        RestoreTimerTable(timers);
        return 0;
    }
    const int16_t wanted = static_cast<int16_t>(cardId);
    const Handle card = wanted == kDestOtherStack ? 0 : FindCardById(cardId);
    const Handle target = card && !IsCardDeleted(card) ? card : GetCardByIndex(1);
    SetCurrentCardId(GetCardId(target));
    EnterCard(move, true);
    ClearLoadedStackChanges();
    return 1;
}

}  // namespace

int GoToAnotherStack(const FileSpec& stack, uint16_t cardId, const CardMove& move, bool withHistory,
                     bool rememberedFirst) {
    // A jump needs only the stack it leaves: under an editor it waits with that stack's scope.
    if (HoldUnderEditor(HeldScope::kStack,
                        [=] { GoToAnotherStack(stack, cardId, move, withHistory, rememberedFirst); }))
        return 0;
    const StackGateScope gate;
    if (!gate.MayReplaceStack())
        return 0;
    return JumpToStack(stack, cardId, move, withHistory, rememberedFirst);
}

bool ResumeStackJump() {
    if (!g_waitingJump.waiting)
        return false;
    const WaitingJump jump = g_waitingJump;
    // The stack was let go when the move began; edited since, it is asked about again (Cancel
    // keeps it and gives the move up). A move asked from a stack since replaced is given up.
    const auto resume = [jump] {
        if (!SameStackAs(jump.letGo))
            return;
        const StackGateScope gate;
        if (!SameStackUneditedSince(jump.letGo) && !gate.MayReplaceStack())
            return;
        JumpToStack(jump.target, jump.cardId, jump.move, false, jump.rememberedFirst);
    };
    g_waitingJump = {};
    // The walk's own jump goes on as part of the walk (a walk that has ended gave it up); any
    // other waits for the dialogs to end.
    if (jump.forWalk) {
        if (EditorRuns()) {
            const EditorOwnMove walk;
            resume();
        }
        return true;
    }
    if (!HoldUnderEditor(HeldScope::kStack, resume))
        resume();
    return true;
}

void DropWalksStackJump() {
    if (g_waitingJump.forWalk)
        g_waitingJump = {};
}

void GiveUpStackJump() { g_waitingJump = {}; }
