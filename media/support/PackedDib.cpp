#include "media/support/PackedDib.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "graphics/dib/Dib.h"
#include "vic32/formats/BmpFormat.h"

bool ReadPackedDib(std::span<const uint8_t> block, PackedDibView* out) {
    BmpInfoHeader info;
    if (!ReadBmpInfoHeader(block, &info) || info.size < kDibInfoHeaderBytes || info.size > block.size())
        return false;
    const uint32_t headerBytes = info.size;
    const int32_t width = info.width, height = info.height;
    const uint16_t depth = info.bitsPerPixel;
    if (info.planes != 1 || !IsDibDepth(depth) || info.compression != 0)
        return false;
    const int64_t rows = height < 0 ? -int64_t{height} : height;
    if (width < 1 || width > kDibMaxDimension || rows < 1 || rows > kDibMaxDimension)
        return false;
    const uint32_t colors = DibNumColors(block.first(kDibInfoHeaderBytes));
    const uint64_t tableBytes = uint64_t{colors} * 4;
    const uint64_t imageBytes = uint64_t(DibRowBytes(depth, width)) * static_cast<uint64_t>(rows);
    if (uint64_t{headerBytes} + tableBytes + imageBytes > block.size())
        return false;
    out->width = width;
    out->height = height;
    out->depth = depth;
    out->colors = colors;
    out->header = block.first(kDibInfoHeaderBytes);
    out->table = block.subspan(headerBytes, static_cast<size_t>(tableBytes));
    out->image = block.subspan(headerBytes + static_cast<size_t>(tableBytes), static_cast<size_t>(imageBytes));
    return true;
}

std::span<const uint8_t> PackedDibPixelsIf(std::span<const uint8_t> block, int32_t width, int32_t height, int depth) {
    PackedDibView dib;
    if (!ReadPackedDib(block, &dib) || dib.width != width || dib.height != height || dib.depth != depth)
        return {};
    return dib.image;
}

Handle NewHandleFromPackedDib(const PackedDibView& dib) {
    const size_t total = kDibInfoHeaderBytes + dib.table.size() + dib.image.size();
    const Handle h = NewHandle(static_cast<uint32_t>(total));
    HandleLock lock(h);
    if (!lock) {
        if (h)
            DisposeHandle(h);
        return 0;
    }
    uint8_t* p = lock.get();
    std::memcpy(p, dib.header.data(), kDibInfoHeaderBytes);
    ByteWriter(std::span<uint8_t>(p, 4), 0).U32LE(kDibInfoHeaderBytes);
    if (!dib.table.empty())
        std::memcpy(p + kDibInfoHeaderBytes, dib.table.data(), dib.table.size());
    std::memcpy(p + kDibInfoHeaderBytes + dib.table.size(), dib.image.data(), dib.image.size());
    return h;
}

Handle NewQTBitMapFromDib(std::span<const uint8_t> packedDib) {
    PackedDibView dib;
    if (!ReadPackedDib(packedDib, &dib) || dib.depth != 1)
        return 0;
    const int32_t rows = dib.height < 0 ? -dib.height : dib.height;
    const auto macRow = static_cast<size_t>(MacRowBytes(1, dib.width));
    const auto dibRow = static_cast<size_t>(DibRowBytes(1, dib.width));
    const Handle h = NewHandle(static_cast<uint32_t>(sizeof(QtBitMap) + macRow * static_cast<size_t>(rows)));
    HandleLock lock(h);
    if (!lock) {
        if (h)
            DisposeHandle(h);
        return 0;
    }
    QtBitMap record{};
    record.rowBytes = static_cast<int16_t>(macRow);
    record.bounds = QtRect{0, 0, static_cast<int16_t>(rows), static_cast<int16_t>(dib.width)};
    std::memcpy(lock.get(), &record, sizeof record);
    uint8_t* to = lock.get() + sizeof(QtBitMap);
    const size_t copy = std::min(macRow, dibRow);
    for (int32_t row = 0; row < rows; ++row) {
        // A bottom-first DIB gives its last row first.
        const int32_t from = dib.height < 0 ? row : rows - 1 - row;
        std::memcpy(to + macRow * static_cast<size_t>(row), dib.image.data() + dibRow * static_cast<size_t>(from), copy);
    }
    return h;
}

QtBitMap* LockQTBitMap(Handle bitMap) {
    uint8_t* p = LockHandle(bitMap);
    if (!p)
        return nullptr;
    if (GetHandleSize(bitMap) < sizeof(QtBitMap)) {
        UnlockHandle(bitMap);
        return nullptr;
    }
    auto* record = reinterpret_cast<QtBitMap*>(p);
    record->baseAddr = p + sizeof(QtBitMap);
    return record;
}
