// The one gate before the open stack is replaced (StackGate.h).
#include "host/player/StackGate.h"

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

// The attempts under way, and the stack given up in them.
struct GateState {
    int depth = 0;
    bool givenUp = false;
    StackLetGo letGo{};
    StackLetGo madeNew{};
    bool newKnown = false;
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

StackGateScope::StackGateScope() { ++g_gate.depth; }

StackGateScope::~StackGateScope() {
    if (--g_gate.depth == 0)
        g_gate.givenUp = false;  // "Don't save" held for this attempt only
}

StackLetGo CurrentLetGo() { return {CurrentStackIdentity().session, ChangesSoFar(), HasChanges()}; }

bool SameStackAs(const StackLetGo& letGo) { return CurrentStackIdentity().session == letGo.session; }

bool SameStackUneditedSince(const StackLetGo& letGo) {
    return SameStackAs(letGo) && ChangesSoFar() == letGo.changes && (letGo.changed || !HasChanges());
}

void NoteNewStackMade() {
    g_gate.madeNew = CurrentLetGo();
    g_gate.newKnown = true;
}

bool IsUntouchedNewStack() {
    return g_gate.newKnown && !StackHasFile() && SameStackAs(g_gate.madeNew) &&
           ChangesSoFar() == g_gate.madeNew.changes && !IsCardChanged();
}

bool MayReplaceStack(const StackGateScope&, GateQuestion question) {
    if (!IsStackOpen())
        return true;
    if (!HasChanges() || (g_gate.givenUp && SameStackUneditedSince(g_gate.letGo)))
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
            g_gate.givenUp = true;
            g_gate.letGo = CurrentLetGo();
            return true;
        default:
            // Cancel; or the page is closing and refuses the question, which lets a move that
            // must happen go on.
            return !mayCancel;
        }
    }
}
