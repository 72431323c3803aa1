// The stack's change flags: whether the stack needs saving and whether the current card was
// edited. Process-wide; the stack counts as changed when either stack flag is set.
#pragma once

#include <cstdint>

// Both flags together, as GetChangeFlags/SetChangeFlags save and restore them.
struct ChangeFlags {
    int32_t stackChanged;
    int32_t cardChanged;
};

// Runs the installed check first: the stack layer checks the stack's depth against the
// display's (which may convert the stack); host/wiring/WireStack_win.cpp installs it.
void MarkCardChanged();
using CardChangeCheck = int (*)();
void SetCardChangeCheck(CardChangeCheck check);
void MarkStackChanged();   // the stack and the card
void MarkStackModified();  // the stack needs saving without the card being marked
void ClearCardChanged();
void ClearStackChanged();  // both stack flags
bool IsStackChanged();
bool IsCardChanged();
ChangeFlags GetChangeFlags();
// How many times a change was marked since the program started: a later count than one taken
// earlier means the stack was edited in between (the marks alone are cleared by a card entered).
uint32_t ChangeCount();
// Where the stack-changed and card-changed flags live (modules are handed their addresses).
int32_t* StackChangedFlagAddress();
int32_t* CardChangedFlagAddress();
void SetChangeFlags(const ChangeFlags& flags);
