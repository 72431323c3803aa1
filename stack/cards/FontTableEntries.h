// The entries of a stack font table as read: the one walk that the font code, the report and
// the tests share. The table ends at number 0 or at the data's end, whole entries only; a face
// length above 63 reads as 63. Platform-neutral.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/StackFile.h"

struct FontEntry {
    std::string face;
    uint16_t number = 0;
    bool macFace = false;
    uint8_t pitchAndFamily = 0;
    uint8_t clipPrecision = 0, quality = 0, charSet = 0;
    int16_t size = 0, width = 0, weight = 0;
};

std::vector<FontEntry> ReadFontTable(std::span<const uint8_t> table);
bool FindFontTableEntry(std::span<const uint8_t> table, uint16_t number, FontEntry* entry);
// The first entry whose face equals the given one without case.
bool FindFontEntryByFace(std::span<const uint8_t> table, std::string_view face, FontEntry* entry);
