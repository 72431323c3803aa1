// Moving to a card of another stack.
#pragma once

#include <cstdint>

// Opens the stack named in the file-spec slot and enters the card (the first card when it has
// no such card), leaving the current card first (with history when asked); rememberedFirst
// chooses where the file is looked for first. 1 when the other stack is open, else 0.
int GoToAnotherStack(int slot, uint16_t cardId, int effect, int transition, int speed, bool withHistory,
                     bool rememberedFirst);
// A move whose stack had to be asked of the browser goes on once it has arrived (the download
// layer calls this with the stack bound in its slot): true when a move was waiting.
bool ResumeStackJump();
