// Row rules, header queries, new DIBs, row copies between DIB rows and Mac rows, and flips.
#include "graphics/dib/Dib.h"

#include <algorithm>
#include <vector>

#include "core/memory/ByteReader.h"

namespace {

// Core header: u32 size, u16 width, u16 height, u16 planes, u16 bit count.
constexpr size_t kCoreBitCountAt = 10;

uint32_t ColorsForBitCount(uint32_t bits) {
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

Handle NewDibWithRows(int width, int height, int depth, RowRule rule) {
    if (!IsDibDepth(depth) || width <= 0 || height <= 0 || width > kDibMaxDimension ||
        height > kDibMaxDimension)
        return 0;
    const uint64_t rowBytes = static_cast<uint64_t>(rule == RowRule::Dib ? DibRowBytes(depth, width)
                                                                          : MacRowBytes(depth, width));
    const uint64_t imageSize = rowBytes * static_cast<uint64_t>(height);
    const uint32_t table = depth <= 8 ? 4u << depth : 0;
    if (imageSize > kDibMaxImageBytes)
        return 0;
    ScopedHandle h(NewHandle(kDibInfoHeaderBytes + table + static_cast<uint32_t>(imageSize) + kDibSpareBytes));
    HandleLock lock(h.get());
    if (!lock)
        return 0;
    WriteDibInfoHeader({lock.get(), kDibInfoHeaderBytes}, width, height, depth, static_cast<uint32_t>(imageSize));
    return h.release();
}

// Copies header, table and min(row sizes) bytes of every row into a new handle of the other form.
Handle CopyRowsBetweenForms(Handle source, RowRule from, RowRule to) {
    LockedDib in(source, from);
    if (!in)
        return 0;
    const DibLayout& sl = in.layout();
    ScopedHandle result(NewDibWithRows(sl.width, sl.height, sl.depth, to));
    if (!result.get())
        return 0;
    {
        LockedDib out(result.get(), to);
        if (!out)
            return 0;
        // The new table holds 2^depth entries; a source with fewer leaves the rest 0.
        const size_t entries = std::min(in.table().size(), out.table().size());
        BlockMove(in.table().data(), out.table().data(), entries);
        const uint32_t count = std::min(sl.rowBytes, out.layout().rowBytes);
        for (int row = 0; row < sl.height; ++row)
            BlockMove(in.row(row).data(), out.row(row).data(), count);
    }
    return result.release();
}

bool FlipRows(DibHandle dib, const uint8_t* map) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    std::vector<uint8_t> temp;
    try {
        temp.resize(locked.layout().rowBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int top = 0, bottom = locked.layout().height - 1; top < bottom; ++top, --bottom) {
        auto a = locked.row(top);
        auto b = locked.row(bottom);
        std::copy(a.begin(), a.end(), temp.begin());
        std::copy(b.begin(), b.end(), a.begin());
        std::copy(temp.begin(), temp.end(), b.begin());
    }
    if (map) {
        for (uint8_t& b : locked.image())
            b = map[b];
    }
    return true;
}

}  // namespace

uint32_t DibNumColors(std::span<const uint8_t> header) {
    if (GetU32(header, 0) == kDibCoreHeaderBytes)
        return ColorsForBitCount(GetU16(header, kCoreBitCountAt));
    const uint32_t colorsUsed = GetU32(header, kDibColorsUsedAt) & 0xFFFF;
    if (colorsUsed != 0)
        return colorsUsed;
    return ColorsForBitCount(GetU16(header, kDibBitCountAt));
}

uint32_t DibInfoColorCount(std::span<const uint8_t> header) {
    if (GetU32(header, 0) != kDibInfoHeaderBytes)
        return 0;
    return DibNumColors(header);
}

uint32_t DibColorTableBytes(std::span<const uint8_t> header) { return 4 * DibInfoColorCount(header); }

uint64_t DibBitsOffset(std::span<const uint8_t> dib) {
    const uint32_t colorsUsed = GetU32(dib, kDibColorsUsedAt);
    if (colorsUsed != 0)
        return kDibInfoHeaderBytes + 4 * uint64_t{colorsUsed};
    const uint32_t depth = GetU16(dib, kDibBitCountAt);
    if (depth > 8)
        return kDibInfoHeaderBytes;
    return kDibInfoHeaderBytes + (uint64_t{4} << depth);
}

std::span<uint8_t> DibBits(std::span<uint8_t> dib) {
    const uint64_t at = DibBitsOffset(dib);
    if (at > dib.size())
        return {};
    return dib.subspan(static_cast<size_t>(at));
}

uint32_t DibImageSize(std::span<const uint8_t> header) {
    ByteReader r(header, kDibWidthAt);
    const int32_t width = r.I32LE();
    const int32_t height = r.I32LE();
    r.Skip(2);
    const int depth = r.U16LE();
    if (!r.ok() || height <= 0 || width > kDibMaxDimension || height > kDibMaxDimension)
        return 0;
    return static_cast<uint32_t>(DibRowBytes(depth, width)) * static_cast<uint32_t>(height);
}

DibInfoFields ReadDibInfoFields(std::span<const uint8_t> dib) {
    ByteReader r(dib);
    DibInfoFields f{r.U32LE(), r.I32LE(), r.I32LE(), r.U16LE(), r.U16LE(), r.U32LE()};  // in order
    f.ok = r.ok();
    return f;
}

bool ReadDibLayout(std::span<const uint8_t> dib, DibLayout& out, RowRule rule) {
    out = {};
    const auto [headerSize, width, height, planes, depth, compression, ok] = ReadDibInfoFields(dib);
    if (!ok || headerSize != kDibInfoHeaderBytes || planes != 1 || !IsDibDepth(depth) || compression != 0 ||
        width <= 0 || height <= 0 || width > kDibMaxDimension || height > kDibMaxDimension)
        return false;
    const uint64_t bitsOffset = DibBitsOffset(dib);
    const uint64_t rowBytes = rule == RowRule::Dib ? DibRowBytes(depth, width) : MacRowBytes(depth, width);
    const uint64_t imageBytes = rowBytes * static_cast<uint64_t>(height);
    if (bitsOffset + imageBytes > dib.size())
        return false;
    out.width = width;
    out.height = height;
    out.depth = depth;
    out.tableEntries = static_cast<uint32_t>((bitsOffset - kDibInfoHeaderBytes) / 4);
    out.bitsOffset = static_cast<uint32_t>(bitsOffset);
    out.rowBytes = static_cast<uint32_t>(rowBytes);
    out.imageBytes = static_cast<uint32_t>(imageBytes);
    return true;
}

std::span<uint8_t> DibRowAt(std::span<uint8_t> dib, const DibLayout& layout, int row) {
    return dib.subspan(layout.bitsOffset + static_cast<size_t>(row) * layout.rowBytes, layout.rowBytes);
}

LockedDib::LockedDib(Handle dib, RowRule rule) : lock_(dib) {
    if (lock_ && ReadDibLayout(lock_.bytes(), layout_, rule)) {
        bytes_ = lock_.bytes();
        ok_ = true;
    }
}

bool WriteDibInfoHeader(std::span<uint8_t> out, int width, int height, int depth, uint32_t imageSize) {
    ByteWriter w(out, 0);
    w.U32LE(kDibInfoHeaderBytes);
    w.I32LE(width);
    w.I32LE(height);
    w.U16LE(1);
    w.U16LE(static_cast<uint16_t>(depth));
    w.U32LE(0);  // uncompressed
    w.U32LE(imageSize);
    for (int i = 0; i < 4; ++i)  // resolutions, colours used, colours important
        w.U32LE(0);
    return w.ok();
}

DibHandle NewDib(int width, int height, int depth) { return NewDibWithRows(width, height, depth, RowRule::Dib); }

Handle NewMacRowsHandle(int width, int height, int depth) {
    return NewDibWithRows(width, height, depth, RowRule::Mac);
}

DibHandle MacRowsToDib(Handle macRows) { return CopyRowsBetweenForms(macRows, RowRule::Mac, RowRule::Dib); }

Handle DibToMacRowsHandle(DibHandle dib) { return CopyRowsBetweenForms(dib, RowRule::Dib, RowRule::Mac); }

bool DibFlipRows(DibHandle dib) { return FlipRows(dib, nullptr); }

bool DibFlipRowsMapped(DibHandle dib, std::span<const uint8_t, 256> map) { return FlipRows(dib, map.data()); }
