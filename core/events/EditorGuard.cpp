// The guard of the editors, and the work it holds (EditorGuard.h).
#include "core/events/EditorGuard.h"

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
    int depth = 0;     // editors running
    int ownMoves = 0;  // the editor's own moves running
    Place place;       // the stack and card shown now
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

}  // namespace

EditorGuard::EditorGuard() { ++State().depth; }
EditorGuard::~EditorGuard() { --State().depth; }

EditorOwnMove::EditorOwnMove() { ++State().ownMoves; }
EditorOwnMove::~EditorOwnMove() { --State().ownMoves; }

bool EditorHolds(HeldScope scope) {
    const GuardState& state = State();
    return state.depth > 0 && (scope == HeldScope::kOutside || state.ownMoves == 0);
}

bool HoldUnderEditor(HeldScope scope, std::function<void()> work) {
    if (!EditorHolds(scope))
        return false;
    State().held.push_back({std::move(work), scope, State().place});
    return true;
}

void SetGuardPlace(uint32_t stackSession, uint16_t cardId) { State().place = {stackSession, cardId}; }

void KeepGuardStack(uint32_t oldSession, uint32_t newSession) {
    for (HeldWork& held : State().held)
        if (held.asked.stack == oldSession)
            held.asked.stack = newSession;
}

int RunHeldWork() {
    int done = 0;
    GuardState& state = State();
    // Each is taken off before it runs: what it asks again while a new editor is up is queued
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

int HeldWorkCount() { return static_cast<int>(State().held.size()); }
void DropHeldWork() { State().held.clear(); }
