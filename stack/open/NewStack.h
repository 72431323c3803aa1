// New stacks, the settings a stack carries into the program, and the id counters of the open
// stack's header (the next object id is the session's: stack/StackOpenSession.h).
//
//   NewStack.cpp           ids, the fresh header, StartStack, ApplyLoadedStackSettings
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

inline constexpr int kQuestionSameCardSize = 2294;
inline constexpr int kAlertNewStackCreated = 2280;
inline constexpr uint16_t kNewStackVersion = 5;

// The program's copies of the stack settings (one set, for the stack in memory).
struct StackProgramSettings {
    uint16_t autoSave = 0;         // header +0
    uint16_t timersAndLinks = 1;   // header +20
    uint16_t titleWord = 0;        // header +26
    uint16_t menuLock = 0;         // header +24
    uint16_t windowMode = 0;       // header +48
    uint16_t screenModeValue = 1;  // header +50
    uint16_t screenModeFlags = 0;  // header +54
    bool stackSetting = false;     // header flag 0x02
    bool firstStackMade = false;   // a stack was made in this run
    bool newStackTold = false;     // alert 2280 was shown in this run
};
StackProgramSettings& ProgramStackSettings();

// A fresh 128-byte host-order header from the program's settings, the working depth and the
// card size; 0 when memory runs out.
Handle NewStackHeader();
// A fresh stack (isNew) or the settings of a stack just read; 0. With all three out-values
// given, the person is asked for the card size and depth of the new stack first.
int StartStack(bool isNew, int* width, int* height, int* depth);
// What is left when a stack could not be read: a fresh stack of one white card (the card size of
// a stack still open, else the default), neither announced nor changed.
void StartEmptyStack();
// After the reader filled the header, the card list and the resources.
void ApplyLoadedStackSettings();
// Raises a host-order header just read below version 5 to 5: true when it did.
bool NormalizeLoadedHeader(Handle header);
// The screen-mode value (+50) as the program applies it: 255 is 256 and 0 is 1. The header keeps
// what it stored, so a stack that is only opened and saved keeps its bytes.
uint16_t AppliedScreenModeValue(uint16_t stored);
