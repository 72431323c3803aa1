// The one gate every replacement of the open stack passes: Open, New Stack, a jump (when it
// starts and again when the stack it waited for arrives), history and favourites, a module's
// open, a ready-made stack opened instead of imported, and the card walk going away and back.
// StackGate_win.cpp.
//
// It asks whenever the stack has a change (alert 2343: Save, Don't save, Cancel; 2361 without
// Cancel where the move must happen). Cancel, or a Save that did not happen (a cancelled Save As,
// a refused or failed write), keeps everything as it was, the change marks included. "Don't save"
// lets the stack go without clearing its marks: only the replacement itself clears them
// (ClearLoadedStackChanges), so a replacement that then does not happen (a file chooser
// cancelled, a stack that cannot be read) leaves the stack changed, and the next move asks again.
#pragma once

#include <cstdint>

enum class GateQuestion {
    MayCancel,  // 2343
    MustGo,     // 2361: asked again until the stack is saved or given up
};

// One attempt to replace the stack, the only way to ask. While it lasts, a stack the user let go
// ("Don't save") is not asked about again unless it was edited since (a walk's question, then its
// jump's).
class StackGateScope {
public:
    StackGateScope();
    ~StackGateScope();
    StackGateScope(const StackGateScope&) = delete;
    StackGateScope& operator=(const StackGateScope&) = delete;
    // True when the stack may go: nothing to ask about, saved, or given up. Pending typing and
    // the card's picture reach the stack's records first.
    bool MayReplaceStack(GateQuestion question = GateQuestion::MayCancel) const;
};

// Text typed on the current card reaches its records before the card picture does (also the
// stack's own event before it is saved).
void StorePendingCardEdits();

// The stack as it was when a replacement was let through; a replacement that waits (a stack still
// to arrive) goes on later without asking only while the same stack is unedited since.
struct StackLetGo {
    uint32_t session = 0;
    uint32_t changes = 0;  // ChangeCount
    bool changed = false;  // the marks then
};
StackLetGo CurrentLetGo();
bool SameStackUneditedSince(const StackLetGo& letGo);
// The same stack at all (not another opened since).
bool SameStackAs(const StackLetGo& letGo);

// A new stack as New Stack made it, never saved and not edited since: nothing of the user's to
// lose (a ready-made stack opens in its place without a question).
void NoteNewStackMade();
bool IsUntouchedNewStack();
