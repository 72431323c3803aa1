// Opening a stack through to its first card: the stack read and bound (stack/open), what the
// program keeps of a read stack (the modules its actions name, its fonts), the first card
// entered (each replacement through the gate of StackGate.h); and what the program does at each of the stack's fixed points (StackUpcalls'
// stackEvent, which the wiring points here). StackOpening_win.cpp.
#pragma once

#include "core/files/FileSlots.h"
#include "stack/StackUpcalls.h"

// Leaves the open stack's card (without history), asks for a file when `ask` (a cancel draws
// the card again and opens nothing), reads the stack of slot 1 and enters its first card with
// the plain transition and the stack's arrival action. 0 when opened, else the error (already
// reported; an empty stack of one card is left in its place).
int OpenStack(bool ask);
// The stack just read (and its first card entered) is as its file: neither the marks left by
// the stack before nor what showing it on this display changed (its colours fitted to the
// palette) count as the user's changes.
void ClearLoadedStackChanges();
// LoadStackFile and LoadOtherStackFile of stack/open, then what the program keeps of the stack
// just read. No card is entered.
int LoadStack();
int LoadOtherStack(const FileSpec& stack);
// New Stack: leaves the card, starts a fresh stack (asking an experienced user for its card size
// and colour depth, else keeping the current ones), fits the card window to its card and
// clears the card-changed mark; the stack itself stays changed until saved.
void NewStack();
// What the program does at each of the stack's fixed points.
void OnStackEvent(StackEvent event);
