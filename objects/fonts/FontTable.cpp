#include "objects/fonts/FontTable.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"

namespace {

std::vector<uint8_t> g_fontTable(kFontEntryBytes);
uint32_t g_nextFontNumber = 1000;
constexpr uint32_t kFirstFontNumber = 1000, kLastFontNumber = 65000;

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kMacFaces = {{
    {"geneva", "arial"},
    {"monaco", "courier new"},
    {"helvetica", "ms sans serif"},
    {"courier", "courier new"},
}};

}  // namespace

std::vector<uint8_t>& FontTableBytes() { return g_fontTable; }

void ResetFontTable() { g_fontTable.assign(kFontEntryBytes, 0); }

void LoadFontTableBytes(std::span<const uint8_t> bytes) {
    if (bytes.empty())
        ResetFontTable();
    else
        g_fontTable.assign(bytes.begin(), bytes.end());
}

uint16_t NextFreeFontNumber(std::span<const uint8_t> table) {
    std::vector<bool> used(0x10000);
    for (const FontEntry& e : ReadFontTable(table))
        used[e.number] = true;
    for (uint32_t tried = 0; tried <= kLastFontNumber - kFirstFontNumber; ++tried) {
        if (g_nextFontNumber > kLastFontNumber)
            g_nextFontNumber = kFirstFontNumber;
        const auto number = static_cast<uint16_t>(g_nextFontNumber++);
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
    if (number == 0)
        return 0;
    std::vector<uint8_t> e(kFontEntryBytes);
    const size_t length = std::min(face.size(), kFontFaceMax);
    e[0] = static_cast<uint8_t>(length);
    std::copy_n(face.begin(), length, e.begin() + 1);
    SetBE16(e, kFontEntryNumber, number);
    SetBE16(e, kFontEntryPitchFamily, pitchAndFamily);
    SetBE32(e, kFontEntryCharSet, charSet);
    SetBE16(e, kFontEntrySize, static_cast<uint16_t>(size));
    SetBE16(e, kFontEntryWeight, 400);
    // Whole entries only: a ragged tail is dropped with the insertion.
    table.resize(table.size() - table.size() % kFontEntryBytes);
    table.insert(table.begin(), e.begin(), e.end());
    return number;
}

std::string MapMacFace(std::string_view face) {
    for (const auto& [mac, windows] : kMacFaces)
        if (EqualAsciiNoCase(face, mac))
            return std::string(windows);
    return std::string(face);
}
