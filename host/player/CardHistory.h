// The cards visited, newest first, for going back (CardHistory.cpp), and the last marked card
// that was left. Each entry is a 14-byte handle record: u16 card id, u32 has-stack flag, u32
// handle of the packed file spec of its stack (only with the flag), u32 next entry.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

inline constexpr int kCardHistoryLimit = 16;
inline constexpr uint32_t kCardHistoryEntryBytes = 14;
inline constexpr int kSlotHistoryStack = 7;  // the stack of the entry going back leads to

// Records the current card as left: a marked card becomes the recent marked card (its stack in
// slot 10); the card is then pushed unless the newest entry is the same card of the same stack.
// At most 16 entries stay; the oldest goes. An entry that cannot be made is dropped and
// nothing else changes.
void PushCardHistory();
// The newest entry's card; with a file spec, its stack goes into slot 7 and *otherStack tells
// whether it differs from the open one. The newest entry is removed only when an older one is
// left: the oldest stays. False for an empty history.
bool PopCardHistory(uint16_t* cardId, bool* otherStack);
int CardHistoryCount();
// The card id of the 0-based entry from the newest; 0 outside the history.
uint16_t CardHistoryIdAt(int index);
void FreeCardHistory();

// The last marked card left (0 = none yet); its stack is in slot 10.
uint16_t GetRecentCardId();
void SetRecentCardId(uint16_t id);
