// The one guard of the authoring dialogs and loops (CardLeaveGuard.cpp). While an object's dialog,
// the actions dialog and its card walk, a chooser, the sound deck, the movie options, the crop or
// the path recorder runs, the edit holds on to the card and the stack it works on: nothing may
// leave the card or replace the stack underneath. A move, an open or a jump asked meanwhile (a
// module's request, a card timer, a download that arrived) is held and done, in the order asked,
// once the last dialog has ended and the card window's tick comes; the walk the user asked for
// moves within a CardWalkMove scope.
#pragma once

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
// While the card may not be left, keeps `work` for later and says so (true); otherwise false and
// the caller goes on at once.
bool HoldCardLeave(std::function<void()> work);
// Does what was held, oldest first, when no guard is up any more (a held move may itself be held
// again by a dialog its card opens). The number done.
int RunHeldCardLeaves();
// What is held and not yet done; forgotten at shut-down.
int HeldCardLeaveCount();
void DropHeldCardLeaves();
