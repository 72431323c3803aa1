#include "stack/cards/FontTableEntries.h"

#include <algorithm>
#include <utility>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"

namespace {

FontEntry ReadEntry(std::span<const uint8_t> e) {
    FontEntry entry;
    const size_t length = std::min<size_t>(e[kFontEntryFace], kFontFaceMax);
    entry.face.assign(reinterpret_cast<const char*>(e.data() + 1), length);
    entry.number = GetBE16(e, kFontEntryNumber);
    entry.macFace = GetBE16(e, kFontEntryMacFace) != 0;
    entry.pitchAndFamily = static_cast<uint8_t>(GetBE16(e, kFontEntryPitchFamily));
    entry.clipPrecision = static_cast<uint8_t>(GetBE32(e, kFontEntryClipPrecision));
    entry.quality = static_cast<uint8_t>(GetBE32(e, kFontEntryQuality));
    entry.charSet = static_cast<uint8_t>(GetBE32(e, kFontEntryCharSet));
    entry.size = static_cast<int16_t>(GetBE16(e, kFontEntrySize));
    entry.width = static_cast<int16_t>(GetBE16(e, kFontEntryWidth));
    entry.weight = static_cast<int16_t>(GetBE16(e, kFontEntryWeight));
    return entry;
}

}  // namespace

std::vector<FontEntry> ReadFontTable(std::span<const uint8_t> table) {
    std::vector<FontEntry> entries;
    for (size_t at = 0; table.size() - at >= kFontEntryBytes; at += kFontEntryBytes) {
        FontEntry entry = ReadEntry(table.subspan(at, kFontEntryBytes));
        if (entry.number == 0)
            break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

bool FindFontTableEntry(std::span<const uint8_t> table, uint16_t number, FontEntry* entry) {
    for (FontEntry& e : ReadFontTable(table))
        if (e.number == number) {
            *entry = std::move(e);
            return true;
        }
    return false;
}

bool FindFontEntryByFace(std::span<const uint8_t> table, std::string_view face, FontEntry* entry) {
    for (FontEntry& e : ReadFontTable(table))
        if (EqualAsciiNoCase(e.face, face)) {
            *entry = std::move(e);
            return true;
        }
    return false;
}
