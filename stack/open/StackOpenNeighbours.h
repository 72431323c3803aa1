// What opening a stack asks of other parts of the program: leaving and entering cards, the
// Open dialog, the download cache, resetting to no stack, applying the stack's settings, its
// font table and actions, and resizing its cards. Each part installs its own procedure; until
// it does, the defaults here do the least that keeps opening whole (mostly nothing).
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

struct StackOpenNeighbours {
    void (*leaveCard)();                        // the current card is left
    bool (*chooseStackFile)();                  // Open dialog on slot 0; true when chosen
    void (*refreshCurrentCard)();
    void (*removeFiltersMenu)();
    void (*forgetCachedFile)(const char* path); // the downloaded copy of a refused file
    void (*startEmptyStack)();                  // the system as for no stack
    void (*eraseCardBackground)();
    void (*closeStackExtras)();                 // videodisc state, the clipboard's ties to the stack
    void (*scanStackActionRecords)();
    void (*applyLoadedStackSettings)();
    void (*loadFontTable)();
    // The stack resized from the old header to the new one (both host order); 0 or 16. The
    // default writes the new card size into the open header and every card record.
    int (*changeStackSize)(Handle oldHeader, Handle newHeader);
    // EnterCard: the current card is entered with the transition (number, QuickTime effect,
    // speed), the stack's arrival action run when arriveAtStack is nonzero.
    void (*enterCard)(int transition, int effect, int speed, int arriveAtStack);
    void (*updateCardTitle)();
};

const StackOpenNeighbours& Neighbours();
void SetStackOpenNeighbours(const StackOpenNeighbours& neighbours);
StackOpenNeighbours DefaultStackOpenNeighbours();
