// LZRW1 row records: packing and unpacking the rows of a DIB one record per row.
#include "graphics/LzrwRows.h"

#include <algorithm>
#include <new>
#include <vector>

#include "graphics/DibBytes.h"
#include "graphics/Lzrw.h"

namespace {

constexpr size_t kRecordLengthAt = 2;
// A minimal growth step, for images so small that a quarter of them rounds to nothing.
constexpr uint32_t kMinGrowBytes = 64;

}  // namespace

Handle PackLzrwDibRows(DibHandle dib) {
    HandleLock lock(dib);
    if (!lock)
        return 0;
    std::span<uint8_t> bytes{lock.get(), GetHandleSize(dib)};
    DibLayout layout;
    if (!ReadDibLayout(bytes, layout))
        return 0;
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
    Handle out = NewHandle(startBytes);
    if (!out)
        return 0;
    uint32_t capacity = startBytes;
    uint32_t used = 0;
    for (int r = 0; r < layout.height; ++r) {
        auto source = DibRowAt(bytes, layout, r);
        std::copy_n(source.begin(), kept, row.begin());
        if (capacity - used < roomPerRow) {
            uint32_t grow = startBytes;
            while (capacity - used + grow < roomPerRow)
                grow *= 2;
            if (SetHandleSize(out, capacity + grow) != 0) {
                DisposeHandle(out);
                return 0;
            }
            capacity += grow;
        }
        HandleLock outLock(out);
        if (!outLock) {
            DisposeHandle(out);
            return 0;
        }
        size_t length = 0;
        std::span<uint8_t> record{outLock.get() + used, capacity - used};
        if (!LzrwCompress(work, row, record, length)) {
            DisposeHandle(out);
            return 0;
        }
        DibByteWriter w(record, kRecordLengthAt);
        w.U16BE(static_cast<uint16_t>(length));
        used += static_cast<uint32_t>(length);
    }
    SetHandleSize(out, used);
    return out;
}

bool UnpackLzrwDibRows(DibHandle dib, std::span<const uint8_t> records) {
    HandleLock lock(dib);
    if (!lock)
        return false;
    std::span<uint8_t> bytes{lock.get(), GetHandleSize(dib)};
    DibLayout layout;
    if (!ReadDibLayout(bytes, layout))
        return false;
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
        DibByteReader header(records, at + kRecordLengthAt);
        const int length = header.I16BE();
        if (!header.ok() || length < static_cast<int>(kLzrwHeaderBytes) ||
            static_cast<size_t>(length) > records.size() - at)
            return false;
        size_t produced = 0;
        if (!LzrwDecompress(records.subspan(at, static_cast<size_t>(length)), row, produced))
            return false;
        std::fill(row.begin() + static_cast<ptrdiff_t>(produced), row.end(), 0);
        auto target = DibRowAt(bytes, layout, r);
        std::copy_n(row.begin(), kept, target.begin());
        at += static_cast<size_t>(length);
    }
    return true;
}
