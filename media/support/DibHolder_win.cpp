#include "media/support/DibHolder.h"

#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/memory/HandlesGlobal.h"
#include "core/ui/GdiGuards.h"
#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "media/support/MediaWindows.h"
#include "media/support/PackedDib.h"

namespace {

// A section's header handle made here: 40 bytes of header and 4 spare.
constexpr uint32_t kSectionHeaderBytes = 44;

uint32_t TableBytesFor(int bits) { return bits <= 8 ? 4u << bits : 0; }

}  // namespace

bool DibHolderFromBitmap(DibHolder* holder, HBITMAP bitmap, int bits, HDC dc) {
    BITMAP info{};
    if (!bitmap || !dc || !IsDibDepth(bits) || !GetObjectA(bitmap, sizeof info, &info))
        return false;
    const uint32_t table = TableBytesFor(bits);
    const uint64_t image = uint64_t(DibRowBytes(bits, info.bmWidth)) * static_cast<uint32_t>(info.bmHeight);
    if (info.bmWidth <= 0 || info.bmHeight <= 0 || image > kDibMaxImageBytes)
        return false;
    ScopedHandle h(NewHandle(static_cast<uint32_t>(kDibInfoHeaderBytes + table + image)));
    HandleLock lock(h.get());
    if (!lock)
        return false;
    WriteDibInfoHeader(lock.bytes(), info.bmWidth, -info.bmHeight, bits, static_cast<uint32_t>(image));
    SelectedPalette palette(dc, GetAppPalette(), SelectedPalette::kAlways);
    auto* header = reinterpret_cast<BITMAPINFO*>(lock.get());
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), lock.get() + kDibInfoHeaderBytes + table, header, DIB_RGB_COLORS))
        return false;
    DibFree(holder);
    holder->bitsPerPixel = static_cast<uint16_t>(bits);
    holder->header = h.release();
    holder->width = info.bmWidth;
    holder->height = info.bmHeight;
    return true;
}

bool DibHolderFromBitmap(DibHolder* holder, HBITMAP bitmap, int bits, const Window& window) {
    HDC dc = window.WindowDC();
    const bool ok = DibHolderFromBitmap(holder, bitmap, bits, dc);
    window.ReleaseWindowDC(dc);
    return ok;
}

HBITMAP MakeDibSection(DibHolder* holder, int width, int height, HDC dc, std::span<const uint8_t> sourcePackedDib) {
    if (!holder->header) {
        if (width < 1 || width > kDibMaxDimension || height < 1 || height > kDibMaxDimension)
            return nullptr;
        const Handle h = NewHandle(kSectionHeaderBytes);
        HandleLock lock(h);
        if (!lock) {
            if (h)
                DisposeHandle(h);
            return nullptr;
        }
        WriteDibInfoHeader(lock.bytes(), width, -height, 24, static_cast<uint32_t>(DibRowBytes(24, width)) * height);
        holder->header = h;
        holder->bitsPerPixel = 24;
        holder->width = width;
        holder->height = height;
    }
    HandleLock lock(holder->header);
    if (!lock || lock.bytes().size() < kDibInfoHeaderBytes)
        return nullptr;
    const std::span<const uint8_t> header = lock.bytes();
    const auto headerWidth = static_cast<int32_t>(GetU32(header, 4));
    const auto headerHeight = static_cast<int32_t>(GetU32(header, 8));
    const int depth = GetU16(header, 14);
    // The header's own table must be there for CreateDIBSection to read it.
    if (header.size() < kDibInfoHeaderBytes + uint64_t{DibNumColors(header)} * 4)
        return nullptr;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(lock.get()), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section)
            DeleteObject(section);
        return nullptr;
    }
    holder->sectionBits = bits;
    const int64_t rows = headerHeight < 0 ? -int64_t{headerHeight} : headerHeight;
    const size_t image = static_cast<size_t>(DibRowBytes(depth, headerWidth)) * static_cast<size_t>(rows);
    const auto source = PackedDibPixelsIf(sourcePackedDib, headerWidth, headerHeight, depth);
    if (source.size() == image)
        std::memcpy(bits, source.data(), image);
    else
        std::memset(bits, 0xFF, image);
    return section;
}

HGLOBAL DibToGlobal(const DibHolder& holder) { return holder.header ? HandleToGlobal(holder.header) : nullptr; }

HGLOBAL DibSectionToPackedDib(const DibHolder& holder) {
    if (!holder.sectionBits || !IsDibDepth(holder.bitsPerPixel) || holder.width < 1 || holder.height < 1)
        return nullptr;
    // The colour table of a depth that has one comes along, so the block is a whole DIB.
    std::span<const uint8_t> table;
    HandleLock lock(holder.header);
    const auto header = lock.bytes();
    if (header.size() < kDibInfoHeaderBytes)
        return nullptr;
    const bool topFirst = static_cast<int32_t>(GetU32(header, 8)) < 0;
    if (holder.bitsPerPixel <= 8) {
        const uint32_t bytes = 4 * DibNumColors(header);
        if (header.size() < kDibInfoHeaderBytes + uint64_t{bytes})
            return nullptr;
        table = header.subspan(kDibInfoHeaderBytes, bytes);
    }
    const uint32_t rowBytes = static_cast<uint32_t>(DibRowBytes(holder.bitsPerPixel, holder.width));
    const uint64_t image = uint64_t{rowBytes} * static_cast<uint32_t>(holder.height);
    if (image > kDibMaxImageBytes)
        return nullptr;
    const size_t total = kDibInfoHeaderBytes + table.size() + static_cast<size_t>(image);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
    auto* p = block ? static_cast<uint8_t*>(GlobalLock(block)) : nullptr;
    if (!p) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    WriteDibInfoHeader(std::span<uint8_t>(p, total), holder.width, holder.height, holder.bitsPerPixel, static_cast<uint32_t>(image));
    if (!table.empty()) {
        std::memcpy(p + kDibInfoHeaderBytes, table.data(), table.size());
        ByteWriter(std::span<uint8_t>(p, kDibInfoHeaderBytes), 32).U32LE(static_cast<uint32_t>(table.size() / 4));
    }
    // The packed DIB's rows lie bottom first; a section made from a new header has them top first.
    const auto* from = static_cast<const uint8_t*>(holder.sectionBits);
    uint8_t* to = p + kDibInfoHeaderBytes + table.size();
    for (int32_t row = 0; row < holder.height; ++row) {
        const int32_t target = topFirst ? holder.height - 1 - row : row;
        std::memcpy(to + size_t{rowBytes} * static_cast<size_t>(target), from + size_t{rowBytes} * static_cast<size_t>(row), rowBytes);
    }
    GlobalUnlock(block);
    return block;
}

bool DibHolderFromPackedDib(DibHolder* holder, std::span<const uint8_t> packedDib) {
    PackedDibView dib;
    if (!ReadPackedDib(packedDib, &dib))
        return false;
    const Handle h = NewHandleFromPackedDib(dib);
    if (!h)
        return false;
    DibFree(holder);
    holder->header = h;
    holder->bitsPerPixel = static_cast<uint16_t>(dib.depth);
    holder->width = dib.width;
    holder->height = dib.height < 0 ? -dib.height : dib.height;
    return true;
}

HBITMAP DibHolderToBitmap(const DibHolder& holder, HDC dc) {
    HandleLock lock(holder.header);
    const auto bytes = lock.bytes();
    if (bytes.size() < kDibInfoHeaderBytes)
        return nullptr;
    const void* rows = holder.sectionBits;
    if (!rows) {
        // A packed holder: its rows follow the table and must lie in the handle.
        PackedDibView dib;
        if (!ReadPackedDib(bytes, &dib))
            return nullptr;
        rows = dib.image.data();
    } else if (bytes.size() < kDibInfoHeaderBytes + uint64_t{DibNumColors(bytes)} * 4) {
        return nullptr;
    }
    const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes.data());
    return CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, rows, info, DIB_RGB_COLORS);
}

void DibFree(DibHolder* holder) {
    if (holder->header)
        DisposeHandle(holder->header);
    holder->header = 0;
    holder->sectionBits = nullptr;
}

Handle DibToQTBitMap(const DibHolder& holder) {
    HandleLock lock(holder.header);
    return lock ? NewQTBitMapFromDib(lock.bytes()) : 0;
}
