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
    entries.reserve(table.size() / kFontEntryBytes);
    for (size_t at = 0; table.size() - at >= kFontEntryBytes; at += kFontEntryBytes) {
        FontEntry entry = ReadEntry(table.subspan(at, kFontEntryBytes));
        if (entry.number == 0)
            break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

// The first entry, up to the end of the table, that test(entry bytes) accepts.
template <typename Test>
bool FindEntry(std::span<const uint8_t> table, FontEntry* entry, Test test) {
    for (size_t at = 0; table.size() - at >= kFontEntryBytes; at += kFontEntryBytes) {
        const std::span<const uint8_t> e = table.subspan(at, kFontEntryBytes);
        if (GetBE16(e, kFontEntryNumber) == 0)
            return false;
        if (test(e)) {
            *entry = ReadEntry(e);
            return true;
        }
    }
    return false;
}

}  // namespace

bool FindFontTableEntry(std::span<const uint8_t> table, uint16_t number, FontEntry* entry) {
    return FindEntry(table, entry, [&](std::span<const uint8_t> e) { return GetBE16(e, kFontEntryNumber) == number; });
}

bool FindFontEntryByFace(std::span<const uint8_t> table, std::string_view face, FontEntry* entry) {
    return FindEntry(table, entry, [&](std::span<const uint8_t> e) {
        const size_t length = std::min<size_t>(e[kFontEntryFace], kFontFaceMax);
        return EqualAsciiNoCase(std::string_view(reinterpret_cast<const char*>(e.data() + 1), length), face);
    });
}
