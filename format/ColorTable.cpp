// Mac colour tables, the form in which a picture's colours are stored. The table stays in file
// order in memory too; a component is read by its first (high) byte.
#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr uint16_t kLogPaletteVersion = 0x300;

PaletteColor ColorAt(std::span<const PaletteColor> palette, size_t i) {
    return i < palette.size() ? palette[i] : PaletteColor{};
}

}  // namespace

uint32_t ColorTableBytesForDepth(int depth) {
    uint32_t entries = depth >= 8 || depth < 0 ? kMaxColorTableEntries : (1u << depth);
    return kMacColorTableHeaderBytes + entries * kMacColorTableEntryBytes;
}

uint32_t MacColorTableCount(std::span<const uint8_t> table) {
    if (table.size() < kMacColorTableHeaderBytes)
        return 0;
    const uint32_t count = uint32_t{GetBE16(table, kMacColorTableCount)} + 1;
    if (count > kMaxColorTableEntries || kMacColorTableHeaderBytes + count * kMacColorTableEntryBytes > table.size())
        return 0;
    return count;
}

std::vector<PaletteColor> MacColorTableColors(std::span<const uint8_t> table) {
    const uint32_t count = MacColorTableCount(table);
    std::vector<PaletteColor> colors(count);
    for (uint32_t i = 0; i < count; ++i) {
        const std::span<const uint8_t> e = table.subspan(kMacColorTableHeaderBytes + i * kMacColorTableEntryBytes);
        const uint8_t flags = i >= kFirstNoCollapseEntry ? kPaletteNoCollapse : 0;
        colors[i] = {e[kMacColorRed], e[kMacColorGreen], e[kMacColorBlue], flags};
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
    std::span<uint8_t> p = lock.bytes();
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
    const std::vector<PaletteColor> colors = MacColorTableColors(table);
    const size_t count = std::min(colors.size(), dibColors.size() / 4);
    for (size_t i = 0; i < count; ++i) {
        dibColors[i * 4] = colors[i].blue;
        dibColors[i * 4 + 1] = colors[i].green;
        dibColors[i * 4 + 2] = colors[i].red;
        dibColors[i * 4 + 3] = 0;
    }
    return static_cast<uint32_t>(count);
}

Handle PaletteToMacColorTable(const ColorTableSource& source) {
    const uint32_t count = source.workingDepth == 4 ? 16 : kMaxColorTableEntries;
    Handle table = NewHandle(kMacColorTableHeaderBytes + count * kMacColorTableEntryBytes);
    HandleLock lock(table);
    if (!lock) {
        DisposeHandle(table);
        return 0;
    }
    std::span<uint8_t> t = lock.bytes();
    SetBE32(t, 0, source.ticks);
    SetBE16(t, 4, 0);
    SetBE16(t, kMacColorTableCount, static_cast<uint16_t>(count - 1));
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
        std::span<uint8_t> e = t.subspan(kMacColorTableHeaderBytes + i * kMacColorTableEntryBytes, kMacColorTableEntryBytes);
        SetBE16(e, 0, static_cast<uint16_t>(i));
        SetBE16(e, kMacColorRed, static_cast<uint16_t>(c.red << 8));
        SetBE16(e, kMacColorGreen, static_cast<uint16_t>(c.green << 8));
        SetBE16(e, kMacColorBlue, static_cast<uint16_t>(c.blue << 8));
    }
    return table;
}
