// Card import: every card of another stack file, with its objects and the resources they use,
// copied into the open stack right behind the current card. The source is untrusted: it is read
// only through the stack reader (header, card records, resource area), and every id it brings
// is renumbered against the open stack. A fresh, untouched, never-saved stack is replaced by the
// source instead.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/memory/Handles.h"

inline constexpr int kAlertReadyMadeFailed = 2310;
inline constexpr uint32_t kStringImportedPrefix = 9710, kStringImportedMiddle = 9711;

// An {old id, new id} pair of an import.
struct IdPair {
    uint16_t oldId;
    uint16_t newId;
};
// The new id of the first pair whose old id matches; 0 when none does or count < 1.
uint16_t LookupIdPair(uint16_t oldId, int count, const IdPair* table);
// The card count (header offset 4) of the stack file in a file-spec slot; 0 when it cannot be
// opened or read, or is not a stack.
int16_t CountStackCards(int slot);
// Brings an imported card (host order, in the list) to the open stack's card size and working
// depth: its objects laid out again and its picture converted.
void FitImportedCardToStack(Handle card);
// Imports the stack file at path. The number of cards inserted, or -1 after a failure (alert
// 2310; cards inserted before it stay).
int ImportCardsFromStack(const char* path);
// The report text: string 9710, the count, string 9711 and the file name, bounded to 499.
std::string ImportCountText(const char* prefix, int count, const char* middle, const char* fileName);
