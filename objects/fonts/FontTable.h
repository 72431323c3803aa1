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

// The program's table (one, for the open stack).
std::vector<uint8_t>& FontTableBytes();
// One zero entry: a new stack's table.
void ResetFontTable();
// The opened stack's table replaces the program's (an empty span resets it).
void LoadFontTableBytes(std::span<const uint8_t> bytes);

// The first number from the counter on (1000, again after 65000) that the table does not use;
// 0 when a whole cycle finds none.
uint16_t NextFreeFontNumber(std::span<const uint8_t> table);
// The number of the entry with that face, or of a new entry put at the table's front.
uint16_t FontNumberForFace(std::vector<uint8_t>& table, std::string_view face, uint8_t charSet,
                           uint8_t pitchAndFamily, int16_t size);
// A Mac face's Windows face ("geneva" -> "arial", ...); other faces as they are.
std::string MapMacFace(std::string_view face);
