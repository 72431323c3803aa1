// Mac colour tables, the form in which a picture's colours are stored. The table stays in file
// order in memory too; a component is read by its first (high) byte.
#include <algorithm>
#include <cstring>

#include "core/ByteReader.h"
#include "stack/StackFile.h"

namespace {

constexpr uint32_t kTableHeaderBytes = 8;
constexpr uint32_t kEntryBytes = 8;
constexpr uint16_t kLogPaletteVersion = 0x300;
constexpr uint32_t kFirstCollapsibleEntry = 10;  // entries below keep the system's own colours

PaletteColor EntryColor(std::span<const uint8_t> table, uint32_t i) {
    size_t at = kTableHeaderBytes + size_t{i} * kEntryBytes;
    PaletteColor c;
    c.red = table[at + 2];
    c.green = table[at + 4];
    c.blue = table[at + 6];
    return c;
}

PaletteColor ColorAt(std::span<const PaletteColor> palette, size_t i) {
    return i < palette.size() ? palette[i] : PaletteColor{};
}

}  // namespace

uint32_t ColorTableBytesForDepth(int depth) {
    uint32_t entries = depth >= 8 || depth < 0 ? kMaxColorTableEntries : (1u << depth);
    return kTableHeaderBytes + entries * kEntryBytes;
}

uint32_t MacColorTableCount(std::span<const uint8_t> table) {
    if (table.size() < kTableHeaderBytes)
        return 0;
    uint32_t count = uint32_t{GetBE16(table, 6)} + 1;
    if (count > kMaxColorTableEntries || kTableHeaderBytes + count * kEntryBytes > table.size())
        return 0;
    return count;
}

std::vector<PaletteColor> MacColorTableColors(std::span<const uint8_t> table) {
    uint32_t count = MacColorTableCount(table);
    std::vector<PaletteColor> colors(count);
    for (uint32_t i = 0; i < count; ++i) {
        colors[i] = EntryColor(table, i);
        colors[i].flags = i >= kFirstCollapsibleEntry ? kPaletteNoCollapse : 0;
    }
    return colors;
}

Handle MacColorTableToPalette(std::span<const uint8_t> table) {
    std::vector<PaletteColor> colors = MacColorTableColors(table);
    if (colors.empty())
        return 0;
    Handle palette = NewHandle(4 + static_cast<uint32_t>(colors.size()) * 4);
    HandleLock lock(palette);
    if (!lock) {
        DisposeHandle(palette);
        return 0;
    }
    std::span<uint8_t> p(lock.get(), GetHandleSize(palette));
    SetU16(p, 0, kLogPaletteVersion);
    SetU16(p, 2, static_cast<uint16_t>(colors.size()));
    for (size_t i = 0; i < colors.size(); ++i) {
        p[4 + i * 4] = colors[i].red;
        p[5 + i * 4] = colors[i].green;
        p[6 + i * 4] = colors[i].blue;
        p[7 + i * 4] = colors[i].flags;
    }
    return palette;
}

uint32_t CopyColorTableToDib(std::span<const uint8_t> table, std::span<uint8_t> dibColors) {
    uint32_t count = std::min<uint32_t>(MacColorTableCount(table),
                                        static_cast<uint32_t>(dibColors.size() / 4));
    for (uint32_t i = 0; i < count; ++i) {
        PaletteColor c = EntryColor(table, i);
        dibColors[i * 4] = c.blue;
        dibColors[i * 4 + 1] = c.green;
        dibColors[i * 4 + 2] = c.red;
        dibColors[i * 4 + 3] = 0;
    }
    return count;
}

Handle PaletteToMacColorTable(const ColorTableSource& source) {
    const uint32_t count = source.workingDepth == 4 ? 16 : kMaxColorTableEntries;
    Handle table = NewHandle(kTableHeaderBytes + count * kEntryBytes);
    HandleLock lock(table);
    if (!lock) {
        DisposeHandle(table);
        return 0;
    }
    std::span<uint8_t> t(lock.get(), GetHandleSize(table));
    SetBE32(t, 0, source.ticks);
    SetBE16(t, 4, 0);
    SetBE16(t, 6, static_cast<uint16_t>(count - 1));
    std::span<const PaletteColor> colors = source.palette;
    if (colors.empty())
        colors = source.workingDepth > 8 ? source.appPalette : source.systemPalette;
    const bool mapped = source.mapped && source.workingDepth <= 8;
    for (uint32_t i = 0; i < count; ++i) {
        PaletteColor c;
        if (mapped)
            c = ColorAt(source.appPalette, i < source.indexMap.size() ? source.indexMap[i] : i);
        else
            c = ColorAt(colors, i);
        std::span<uint8_t> e = t.subspan(kTableHeaderBytes + i * kEntryBytes, kEntryBytes);
        SetBE16(e, 0, static_cast<uint16_t>(i));
        SetBE16(e, 2, static_cast<uint16_t>(c.red << 8));
        SetBE16(e, 4, static_cast<uint16_t>(c.green << 8));
        SetBE16(e, 6, static_cast<uint16_t>(c.blue << 8));
    }
    return table;
}
