// The one gate before the open stack is replaced (StackGate.h).
#include "host/player/StackGate.h"

#include <optional>

#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "objects/text/FieldContents_win.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/CardEdit.h"
#include "stack/pictures/CardPicturePaint.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint32_t kAlertSaveChanges = 2343;       // Save, Don't save, Cancel
constexpr uint32_t kAlertSaveBeforeReturn = 2361;  // Save, Don't save

// The attempts under way (nested), and the stack given up in them.
struct GateAttempt {
    int depth = 0;
    bool givenUp = false;
    StackLetGo letGo{};
};

// Two separate things the gate remembers: the attempt, and the new stack as New Stack made it
// (until another is made).
struct GateState {
    GateAttempt attempt;
    std::optional<StackLetGo> madeNew;
} g_gate;

}  // namespace

void StorePendingCardEdits() {
    SaveCurrentFieldContents();
    if (IsCardChanged() && CardPicturePainted())
        SaveCurrentBackground();
}

namespace {

// Asked after the card's pending edits are stored: text typed into a field is marked only when
// it is stored and differs from the record's.
bool HasChanges() {
    StorePendingCardEdits();
    return IsStackChanged() || IsCardChanged();
}

uint32_t ChangesSoFar() {
    StorePendingCardEdits();
    return ChangeCount();
}

}  // namespace

StackGateScope::StackGateScope() { ++g_gate.attempt.depth; }

StackGateScope::~StackGateScope() {
    if (--g_gate.attempt.depth == 0)
        g_gate.attempt.givenUp = false;  // "Don't save" held for this attempt only
}

StackLetGo CurrentLetGo() { return {CurrentStackIdentity().session, ChangesSoFar(), HasChanges()}; }

bool SameStackAs(const StackLetGo& letGo) { return CurrentStackIdentity().session == letGo.session; }

bool SameStackUneditedSince(const StackLetGo& letGo) {
    return SameStackAs(letGo) && ChangesSoFar() == letGo.changes && (letGo.changed || !HasChanges());
}

void NoteNewStackMade() { g_gate.madeNew = CurrentLetGo(); }

bool IsUntouchedNewStack() {
    const std::optional<StackLetGo>& made = g_gate.madeNew;
    return made && !StackHasFile() && SameStackAs(*made) && ChangesSoFar() == made->changes && !IsCardChanged();
}

bool StackGateScope::MayReplaceStack(GateQuestion question) const {
    if (!IsStackOpen())
        return true;
    if (!HasChanges() || (g_gate.attempt.givenUp && SameStackUneditedSince(g_gate.attempt.letGo)))
        return true;
    const bool mayCancel = question == GateQuestion::MayCancel;
    for (;;) {
        switch (ShowAlert(mayCancel ? kAlertSaveChanges : kAlertSaveBeforeReturn)) {
        case 1:
            SaveStackCommand();
            // Saved only when the stack has its file and nothing left to save: a cancelled Save
            // As, a refused or failed write keep the changes, and the user where they were.
            if (StackHasFile() && !HasChanges())
                return true;
            if (mayCancel)
                return false;
            continue;  // the move must happen: asked again until saved or given up
        case 2:
            g_gate.attempt.givenUp = true;
            g_gate.attempt.letGo = CurrentLetGo();
            return true;
        default:
            // Cancel; or the page is closing and refuses the question, which lets a move that
            // must happen go on.
            return !mayCancel;
        }
    }
}
