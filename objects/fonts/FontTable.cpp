#include "objects/fonts/FontTable.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"

namespace {

constexpr uint32_t kFirstFontNumber = 1000, kLastFontNumber = 65000;

// The program's table: its bytes as the stack stores them, the entries read from them once
// (each number's first entry found through the map), and the counter new numbers start from,
// all replaced together when a stack's table is loaded or reset.
struct ProgramFonts {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kFontEntryBytes);
    std::vector<FontEntry> entries;
    std::unordered_map<uint16_t, size_t> byNumber;
    uint32_t nextNumber = kFirstFontNumber;
};
ProgramFonts g_fonts;

void Parse() {
    g_fonts.entries = ReadFontTable(g_fonts.bytes);
    g_fonts.byNumber.clear();
    for (size_t i = 0; i < g_fonts.entries.size(); ++i)
        g_fonts.byNumber.emplace(g_fonts.entries[i].number, i);
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kMacFaces = {{
    {"geneva", "arial"},
    {"monaco", "courier new"},
    {"helvetica", "ms sans serif"},
    {"courier", "courier new"},
}};

// A new entry of the face, with the number, at the table's front; a ragged tail is dropped.
void InsertEntry(std::vector<uint8_t>& table, std::string_view face, uint16_t number, uint8_t charSet,
                 uint8_t pitchAndFamily, int16_t size) {
    std::vector<uint8_t> e(kFontEntryBytes);
    const size_t length = std::min(face.size(), kFontFaceMax);
    e[0] = static_cast<uint8_t>(length);
    std::copy_n(face.begin(), length, e.begin() + 1);
    SetBE16(e, kFontEntryNumber, number);
    SetBE16(e, kFontEntryPitchFamily, pitchAndFamily);
    SetBE32(e, kFontEntryCharSet, charSet);
    SetBE16(e, kFontEntrySize, static_cast<uint16_t>(size));
    SetBE16(e, kFontEntryWeight, 400);
    table.resize(table.size() - table.size() % kFontEntryBytes);
    table.insert(table.begin(), e.begin(), e.end());
}

}  // namespace

const std::vector<uint8_t>& FontTableBytes() { return g_fonts.bytes; }

std::span<const FontEntry> FontTableEntries() { return g_fonts.entries; }

void ResetFontTable() {
    g_fonts = ProgramFonts{};
    Parse();
}

void LoadFontTableBytes(std::span<const uint8_t> bytes) {
    ResetFontTable();
    if (!bytes.empty()) {
        g_fonts.bytes.assign(bytes.begin(), bytes.end());
        Parse();
    }
}

const FontEntry* FindFontByNumber(uint16_t number) {
    const auto found = g_fonts.byNumber.find(number);
    return found == g_fonts.byNumber.end() ? nullptr : &g_fonts.entries[found->second];
}

uint16_t NextFreeFontNumber(std::span<const uint8_t> table) {
    std::vector<bool> used(0x10000);
    for (const FontEntry& e : ReadFontTable(table))
        used[e.number] = true;
    for (uint32_t tried = 0; tried <= kLastFontNumber - kFirstFontNumber; ++tried) {
        if (g_fonts.nextNumber > kLastFontNumber)
            g_fonts.nextNumber = kFirstFontNumber;
        const auto number = static_cast<uint16_t>(g_fonts.nextNumber++);
        if (!used[number])
            return number;
    }
    return 0;
}

uint16_t FontNumberForFace(std::vector<uint8_t>& table, std::string_view face, uint8_t charSet,
                           uint8_t pitchAndFamily, int16_t size) {
    FontEntry found;
    if (FindFontEntryByFace(table, face, &found))
        return found.number;
    const uint16_t number = NextFreeFontNumber(table);
    if (number != 0)
        InsertEntry(table, face, number, charSet, pitchAndFamily, size);
    return number;
}

uint16_t FontNumberForFace(std::string_view face, uint8_t charSet, uint8_t pitchAndFamily, int16_t size) {
    for (const FontEntry& e : g_fonts.entries)
        if (EqualAsciiNoCase(e.face, face))
            return e.number;
    const uint16_t number = NextFreeFontNumber(g_fonts.bytes);
    if (number != 0) {
        InsertEntry(g_fonts.bytes, face, number, charSet, pitchAndFamily, size);
        Parse();
    }
    return number;
}

std::string MapMacFace(std::string_view face) {
    for (const auto& [mac, windows] : kMacFaces)
        if (EqualAsciiNoCase(face, mac))
            return std::string(windows);
    return std::string(face);
}
