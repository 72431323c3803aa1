// The guard of the authoring dialogs and loops, and the moves it holds (CardLeaveGuard.h).
#include "core/events/CardLeaveGuard.h"

#include <deque>
#include <utility>

namespace {

struct GuardState {
    int depth = 0;      // dialogs and loops running
    int walkMoves = 0;  // the walk's own moves running
    std::deque<std::function<void()>> held;
};

GuardState& State() {
    static GuardState state;
    return state;
}

}  // namespace

CardLeaveGuard::CardLeaveGuard() { ++State().depth; }
CardLeaveGuard::~CardLeaveGuard() { --State().depth; }

CardWalkMove::CardWalkMove() { ++State().walkMoves; }
CardWalkMove::~CardWalkMove() { --State().walkMoves; }

bool IsCardLeaveHeld() { return State().depth > 0 && State().walkMoves == 0; }
bool IsCardLeaveGuarded() { return State().depth > 0; }
bool IsCardWalkMoving() { return State().walkMoves > 0; }

bool HoldCardLeave(std::function<void()> work) {
    if (!IsCardLeaveHeld())
        return false;
    State().held.push_back(std::move(work));
    return true;
}

int RunHeldCardLeaves() {
    int done = 0;
    GuardState& state = State();
    // Each is taken off before it runs: what it asks again while a new dialog is up is queued
    // behind the rest.
    while (state.depth == 0 && !state.held.empty()) {
        std::function<void()> work = std::move(state.held.front());
        state.held.pop_front();
        work();
        ++done;
    }
    return done;
}

int HeldCardLeaveCount() { return static_cast<int>(State().held.size()); }
void DropHeldCardLeaves() { State().held.clear(); }
