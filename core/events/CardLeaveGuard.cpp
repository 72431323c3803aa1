// The guard of the authoring dialogs and loops, and the work it holds (CardLeaveGuard.h).
#include "core/events/CardLeaveGuard.h"

#include <deque>
#include <utility>

namespace {

struct Place {
    uint32_t stack = 0;
    uint16_t card = 0;
};

struct HeldWork {
    std::function<void()> work;
    HeldScope scope;
    Place asked;
};

struct GuardState {
    int depth = 0;      // dialogs and loops running
    int walkMoves = 0;  // the walk's own moves running
    Place place;        // the stack and card shown now
    std::deque<HeldWork> held;
};

GuardState& State() {
    static GuardState state;
    return state;
}

bool StillThere(const HeldWork& held) {
    const Place& now = State().place;
    return held.asked.stack == now.stack && (held.scope == HeldScope::kStack || held.asked.card == now.card);
}

bool Keep(std::function<void()>&& work, HeldScope scope) {
    State().held.push_back({std::move(work), scope, State().place});
    return true;
}

}  // namespace

CardLeaveGuard::CardLeaveGuard() { ++State().depth; }
CardLeaveGuard::~CardLeaveGuard() { --State().depth; }

CardWalkMove::CardWalkMove() { ++State().walkMoves; }
CardWalkMove::~CardWalkMove() { --State().walkMoves; }

bool IsCardLeaveHeld() { return State().depth > 0 && State().walkMoves == 0; }
bool IsCardLeaveGuarded() { return State().depth > 0; }
bool IsCardWalkMoving() { return State().walkMoves > 0; }

void SetGuardPlace(uint32_t stackSession, uint16_t cardId) { State().place = {stackSession, cardId}; }

bool HoldCardLeave(std::function<void()> work, HeldScope scope) {
    return IsCardLeaveHeld() && Keep(std::move(work), scope);
}

bool HoldWhileGuarded(std::function<void()> work, HeldScope scope) {
    return IsCardLeaveGuarded() && Keep(std::move(work), scope);
}

int RunHeldCardLeaves() {
    int done = 0;
    GuardState& state = State();
    // Each is taken off before it runs: what it asks again while a new dialog is up is queued
    // behind the rest.
    while (state.depth == 0 && !state.held.empty()) {
        HeldWork next = std::move(state.held.front());
        state.held.pop_front();
        if (!StillThere(next))
            continue;
        next.work();
        ++done;
    }
    return done;
}

int HeldCardLeaveCount() { return static_cast<int>(State().held.size()); }
void DropHeldCardLeaves() { State().held.clear(); }
