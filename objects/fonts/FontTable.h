// The stack font table ('FntL' 128): 92-byte entries, big-endian in memory as on disk, that give
// the stored font numbers of buttons and text runs their faces. The table ends at number 0 or at
// the data's end, whole entries only. Platform-neutral; the faces are made into fonts in
// FontTable_win.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr uint32_t kFontTableResId = 128;
inline constexpr uint32_t kFontEntryBytes = 92;
enum FontEntryOffset : uint32_t {
    kFontEntryFace = 0,  // length byte and up to 63 characters
    kFontEntryNumber = 64,
    kFontEntryMacFace = 66,
    kFontEntryPitchFamily = 68,
    kFontEntryClipPrecision = 74,  // u32
    kFontEntryQuality = 78,        // u32
    kFontEntryCharSet = 82,        // u32
    kFontEntrySize = 86,
    kFontEntryWidth = 88,
    kFontEntryWeight = 90,
};
inline constexpr size_t kFontFaceMax = 63;

struct FontEntry {
    std::string face;
    uint16_t number = 0;
    bool macFace = false;
    uint8_t pitchAndFamily = 0;
    uint8_t clipPrecision = 0, quality = 0, charSet = 0;
    int16_t size = 0, width = 0, weight = 0;
};

// The program's table (one, for the open stack).
std::vector<uint8_t>& FontTableBytes();
// One zero entry: a new stack's table.
void ResetFontTable();
// The opened stack's table replaces the program's (an empty span resets it).
void LoadFontTableBytes(std::span<const uint8_t> bytes);

std::vector<FontEntry> ReadFontTable(std::span<const uint8_t> table);
bool FindFontTableEntry(std::span<const uint8_t> table, uint16_t number, FontEntry* entry);
bool FindFontEntryByFace(std::span<const uint8_t> table, std::string_view face, FontEntry* entry);
// The first number from the counter on (1000, again after 65000) that the table does not use;
// 0 when a whole cycle finds none.
uint16_t NextFreeFontNumber(std::span<const uint8_t> table);
// The number of the entry with that face, or of a new entry put at the table's front.
uint16_t FontNumberForFace(std::vector<uint8_t>& table, std::string_view face, uint8_t charSet,
                           uint8_t pitchAndFamily, int16_t size);
// A Mac face's Windows face ("geneva" -> "arial", ...); other faces as they are.
std::string MapMacFace(std::string_view face);
