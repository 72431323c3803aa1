// Moving to a card of another stack.
#pragma once

#include <cstdint>

#include "cardview/transitions/CardTransitions.h"
#include "core/files/FileSlots.h"

// Opens the stack named and enters the card (the first card when it has no such card) with the
// move's transition, leaving the current card first (with history when asked); rememberedFirst
// chooses where the file is looked for first. 1 when the other stack is open, else 0. A changed
// stack is given up only when the user says so (the gate of StackGate.h); under an editor the
// move waits with the stack's scope (core/events/EditorGuard.h).
int GoToAnotherStack(const FileSpec& stack, uint16_t cardId, const CardMove& move, bool withHistory,
                     bool rememberedFirst);
// A move whose stack had to be asked of the browser goes on once it has arrived (the download
// layer calls this once the stack is in its cache): true when a move was waiting.
// One asked by a card walk goes on only while that walk runs, and one held under a dialog once it
// has ended. The stack edited since the move began is asked about again (Cancel gives the move
// up); a move asked from a stack replaced since is given up.
bool ResumeStackJump();
// The card walk's move waiting for its stack is given up (the walk has ended); another waits on.
void DropWalksStackJump();
// The move waiting for its stack is given up (the stack did not come).
void GiveUpStackJump();
