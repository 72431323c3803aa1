// LZRW1 row records: packing and unpacking the rows of a DIB one record per row.
#include "graphics/pixels/LzrwRows.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/Lzrw.h"

namespace {

constexpr size_t kRecordLengthAt = 2;
// A minimal growth step, for images so small that a quarter of them rounds to nothing.
constexpr uint32_t kMinGrowBytes = 64;

}  // namespace

Handle PackLzrwDibRows(DibHandle dib) {
    LockedDib locked(dib);
    if (!locked)
        return 0;
    const DibLayout& layout = locked.layout();
    const uint32_t macRow = static_cast<uint32_t>(MacRowBytes(layout.depth, layout.width));
    if (macRow > kMaxLzrwMacRowBytes)
        return 0;
    const uint32_t kept = std::min(macRow, layout.rowBytes);
    // The compressor may run past the row's length before it falls back to a stored copy.
    const uint32_t roomPerRow = static_cast<uint32_t>(LzrwCompressBound(macRow));

    std::vector<uint8_t> work, row;
    try {
        work.resize(kLzrwWorkAreaBytes);
        row.resize(macRow);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const uint32_t startBytes = std::max<uint32_t>(macRow * static_cast<uint32_t>(layout.height) / 4, kMinGrowBytes);
    ScopedHandle out(NewHandle(startBytes));
    if (!out.get())
        return 0;
    uint32_t capacity = startBytes;
    uint32_t used = 0;
    for (int r = 0; r < layout.height; ++r) {
        auto source = locked.row(r);
        std::copy_n(source.begin(), kept, row.begin());
        if (capacity - used < roomPerRow) {
            uint32_t grow = startBytes;
            while (capacity - used + grow < roomPerRow)
                grow *= 2;
            if (SetHandleSize(out.get(), capacity + grow) != 0)
                return 0;
            capacity += grow;
        }
        HandleLock outLock(out.get());
        if (!outLock)
            return 0;
        size_t length = 0;
        std::span<uint8_t> record{outLock.get() + used, capacity - used};
        if (!LzrwCompress(work, row, record, length))
            return 0;
        SetBE16(record, kRecordLengthAt, static_cast<uint16_t>(length));
        used += static_cast<uint32_t>(length);
    }
    SetHandleSize(out.get(), used);
    return out.release();
}

bool UnpackLzrwDibRows(DibHandle dib, std::span<const uint8_t> records) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    const DibLayout& layout = locked.layout();
    const uint32_t macRow = static_cast<uint32_t>(MacRowBytes(layout.depth, layout.width));
    if (macRow > kMaxLzrwMacRowBytes)
        return false;
    const uint32_t kept = std::min(macRow, layout.rowBytes);
    std::vector<uint8_t> row;
    try {
        row.resize(macRow);
    } catch (const std::bad_alloc&) {
        return false;
    }
    size_t at = 0;
    for (int r = 0; r < layout.height; ++r) {
        ByteReader header(records, at + kRecordLengthAt);
        const int length = header.I16BE();
        if (!header.ok() || length < static_cast<int>(kLzrwHeaderBytes) ||
            static_cast<size_t>(length) > records.size() - at)
            return false;
        size_t produced = 0;
        if (!LzrwDecompress(records.subspan(at, static_cast<size_t>(length)), row, produced))
            return false;
        std::fill(row.begin() + static_cast<ptrdiff_t>(produced), row.end(), 0);
        auto target = locked.row(r);
        std::copy_n(row.begin(), kept, target.begin());
        at += static_cast<size_t>(length);
    }
    return true;
}
