// The program's stack font table ('FntL' 128, read through stack/cards/FontTableEntries.h): new
// numbers and entries for faces, and the Mac face map. Platform-neutral; the faces are made into
// fonts in FontTable_win.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "stack/cards/FontTableEntries.h"

// The program's table (one, for the open stack), as the stack stores it. It changes only
// through the functions below, which read its entries once for each change.
const std::vector<uint8_t>& FontTableBytes();
// Its entries, and the first entry of a number (null when none), without reading it again.
std::span<const FontEntry> FontTableEntries();
const FontEntry* FindFontByNumber(uint16_t number);
// One zero entry: a new stack's table. The counter of new numbers starts again with it.
void ResetFontTable();
// The opened stack's table replaces the program's (an empty span resets it).
void LoadFontTableBytes(std::span<const uint8_t> bytes);

// The first number from the counter on (1000, again after 65000) that the table does not use;
// 0 when a whole cycle finds none.
uint16_t NextFreeFontNumber(std::span<const uint8_t> table);
// The number of the entry with that face, or of a new entry put at the table's front: in the
// table given, or in the program's.
uint16_t FontNumberForFace(std::vector<uint8_t>& table, std::string_view face, uint8_t charSet,
                           uint8_t pitchAndFamily, int16_t size);
uint16_t FontNumberForFace(std::string_view face, uint8_t charSet, uint8_t pitchAndFamily, int16_t size);
// A Mac face's Windows face ("geneva" -> "arial", ...); other faces as they are.
std::string MapMacFace(std::string_view face);
