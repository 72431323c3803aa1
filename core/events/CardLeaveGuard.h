// The one guard of the authoring dialogs and loops (CardLeaveGuard.cpp). While an object's dialog,
// the actions dialog and its card walk, a chooser, the sound deck, the movie options, the crop or
// the path recorder runs, the edit holds on to the card and the stack it works on. The rule is
// what may run meanwhile: the dialog's own work, painting, media that plays and what only reads.
// Everything else that would change the stack, a card, an object, a layer or the tool (a module's
// writing request, a menu command, a tool change, a timer's action, a download's effect, a move,
// an open or a jump) is held in one queue and done, in the order asked, once the last dialog has
// ended and the card window's tick comes; each is dropped when the stack (or the card) it was
// asked in is no longer the one open. The walk the user asked for moves within a CardWalkMove
// scope.
#pragma once

#include <cstdint>
#include <functional>

// Entered by each authoring dialog and loop for as long as it runs; nests.
class CardLeaveGuard {
public:
    CardLeaveGuard();
    ~CardLeaveGuard();
    CardLeaveGuard(const CardLeaveGuard&) = delete;
    CardLeaveGuard& operator=(const CardLeaveGuard&) = delete;
};

// The user's own walk under a guard: the moves it makes itself (its arrows, its destination, the
// stack it opens, its return) pass while the scope lives.
class CardWalkMove {
public:
    CardWalkMove();
    ~CardWalkMove();
    CardWalkMove(const CardWalkMove&) = delete;
    CardWalkMove& operator=(const CardWalkMove&) = delete;
};

// Whether a guard is up (outside a walk's own move): leaving the card must wait.
bool IsCardLeaveHeld();
// Whether an authoring dialog or loop runs at all, a walk's move or not.
bool IsCardLeaveGuarded();
// Whether a walk's own move runs now.
bool IsCardWalkMoving();

// Where held work was asked: the open stack's session and the card shown. The stack layer tells
// the guard each time either changes.
void SetGuardPlace(uint32_t stackSession, uint16_t cardId);
// What held work must still find when it runs: the card it was asked on, or only the stack (an
// open or a jump, which does not care which card is shown).
enum class HeldScope { kCard, kStack };

// While the card may not be left, keeps `work` for later and says so (true); otherwise false and
// the caller goes on at once.
bool HoldCardLeave(std::function<void()> work, HeldScope scope = HeldScope::kCard);
// The same for work that must wait under any guard, a walk's own move too (a module's request,
// a menu command): true when it was kept.
bool HoldWhileGuarded(std::function<void()> work, HeldScope scope = HeldScope::kCard);
// Does what was held, oldest first, when no guard is up any more (a held move may itself be held
// again by a dialog its card opens); work whose stack or card is gone is dropped. The number done.
int RunHeldCardLeaves();
// What is held and not yet done; forgotten at shut-down.
int HeldCardLeaveCount();
void DropHeldCardLeaves();
