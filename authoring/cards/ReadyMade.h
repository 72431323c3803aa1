// Ready-made cards: the Edit menu's "Ready Made Cards" submenu lists every stack under the
// folder "RdyMCard" beside the program, in nested submenus mirroring its folders. Choosing one
// imports its cards behind the current card (CardImport.h).
//
//   ReadyMade.cpp       the list of listed stacks and their command ids
//   ReadyMade_win.cpp   the folder walk, the submenu, the command and the report dialog
#pragma once

#include <cstdint>
#include <string>

#include "core/memory/Handles.h"

inline constexpr int kReadyMadeNewCard = 500, kReadyMadeSameBackground = 501, kReadyMadeGroupCard = 502;
inline constexpr int kFirstReadyMadeStack = 503, kLastReadyMadeCommand = 599;
inline constexpr size_t kReadyMadePathSize = 256;
inline constexpr uint32_t kStringReadyMadeFolder = 2522;

// One listed stack: its full path and the command id it was given.
struct ReadyMadeEntry {
    char path[kReadyMadePathSize];
    uint32_t commandId;
};
static_assert(sizeof(ReadyMadeEntry) == 260);

// The process-wide list, rebuilt with the menu.
void ClearReadyMadeList();
// Appends {path, id}; false for a path that does not fit or an id past 599, or no memory.
bool AddReadyMadeEntry(const std::string& path, uint32_t commandId);
int CountReadyMadeEntries();
// The path listed under the id; empty when none.
std::string FindReadyMadePath(uint32_t commandId);
// Whether the list was built since the program started (or last cleared by shut-down).
bool IsReadyMadeListBuilt();
void FreeReadyMadeList();

// Whether a file name is a stack file of the folder walk: longer than 4 characters, ending in
// ".stk" or ".STK" exactly.
bool IsReadyMadeStackName(const char* name);
