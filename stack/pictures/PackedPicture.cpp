// Packing and unpacking the pixel bytes of one picture: run header plus LZRW1 middle.
#include "stack/pictures/PackedPicture.h"

#include "core/memory/ByteReader.h"
#include "graphics/pixels/Lzrw.h"

#include <cstring>

namespace {

// The run header in host order: the two fills raw, the two counts little-endian.
void WriteRunHeader(std::span<uint8_t> header, const PackedPictureRuns& runs) {
    ByteWriter w(header, 0);
    w.Bytes(runs.leadFill);
    w.U32LE(runs.leadCount);
    w.Bytes(runs.trailFill);
    w.U32LE(runs.trailCount);
}

}  // namespace

bool PackedPictureRange(size_t rowsBytes, uint32_t rowBytes, bool cardPicture, size_t& rangeBytes) {
    rangeBytes = rowsBytes;
    if (!cardPicture)
        return true;
    const size_t extra = size_t{kCardPictureExtraRows} * rowBytes;
    if (rowsBytes < extra)
        return false;
    rangeBytes = rowsBytes - extra;
    return true;
}

PackedPictureRuns FindPictureRuns(std::span<const uint8_t> range) {
    PackedPictureRuns runs;
    const size_t n = range.size();
    if (n < 4)
        return runs;
    const uint8_t* p = range.data();
    std::memcpy(runs.leadFill, p, 4);
    size_t lead = 0;
    while (lead + 4 <= n && std::memcmp(p + lead, runs.leadFill, 4) == 0)
        lead += 4;
    size_t trail = 0;
    if (lead < n) {
        std::memcpy(runs.trailFill, p + n - 4, 4);
        while (lead + trail + 4 <= n && std::memcmp(p + n - trail - 4, runs.trailFill, 4) == 0)
            trail += 4;
    }
    runs.leadCount = static_cast<uint32_t>(lead);
    runs.trailCount = static_cast<uint32_t>(trail);
    return runs;
}

Handle PackPictureRows(std::span<const uint8_t> rows, uint32_t rowBytes, bool cardPicture) {
    size_t rangeBytes = 0;
    if (!PackedPictureRange(rows.size(), rowBytes, cardPicture, rangeBytes))
        return 0;
    const std::span<const uint8_t> range = rows.first(rangeBytes);
    const PackedPictureRuns runs = FindPictureRuns(range);
    const size_t middle = rangeBytes - runs.leadCount - runs.trailCount;
    if (LzrwCompressBound(middle) > UINT32_MAX - kPackedPictureHeaderBytes)
        return 0;

    ScopedHandle packed(NewHandle(static_cast<uint32_t>(
        kPackedPictureHeaderBytes + (middle > 0 ? LzrwCompressBound(middle) : 0))));
    if (!packed.get())
        return 0;
    size_t streamBytes = 0;
    {
        HandleLock out(packed.get());
        if (!out)
            return 0;
        WriteRunHeader({out.get(), kPackedPictureHeaderBytes}, runs);
        if (middle > 0) {
            ScopedHandle work(NewHandle(kLzrwWorkAreaBytes));
            HandleLock workLock(work.get());
            if (!workLock)
                return 0;
            const std::span<uint8_t> destination(out.get() + kPackedPictureHeaderBytes,
                                                 LzrwCompressBound(middle));
            if (!LzrwCompress({workLock.get(), kLzrwWorkAreaBytes},
                              range.subspan(runs.leadCount, middle), destination, streamBytes))
                return 0;
        }
    }
    if (SetHandleSize(packed.get(), static_cast<uint32_t>(kPackedPictureHeaderBytes + streamBytes)) != 0)
        return 0;
    return packed.release();
}

Handle PackPicture(DibHandle dib, bool cardPicture, const uint8_t* indexMap) {
    const bool flipped = indexMap ? DibFlipRowsMapped(dib, std::span<const uint8_t, 256>(indexMap, 256))
                                  : DibFlipRows(dib);
    if (!flipped)
        return 0;
    ScopedHandle macRows(DibToMacRowsHandle(dib));
    LockedDib rows(macRows.get(), RowRule::Mac);
    if (!rows)
        return 0;
    return PackPictureRows(rows.image(), rows.layout().rowBytes, cardPicture);
}

bool ReadPackedPictureRuns(std::span<const uint8_t> packed, PackedPictureRuns& runs) {
    runs = {};
    if (packed.size() < kPackedPictureHeaderBytes)
        return false;
    ByteReader r(packed);
    std::memcpy(runs.leadFill, r.Bytes(4).data(), 4);
    runs.leadCount = r.U32LE();
    std::memcpy(runs.trailFill, r.Bytes(4).data(), 4);
    runs.trailCount = r.U32LE();
    return r.ok();
}

bool UnpackPictureRows(std::span<const uint8_t> packed, std::span<uint8_t> range) {
    PackedPictureRuns runs;
    if (!ReadPackedPictureRuns(packed, runs))
        return false;
    // Counts come from the file: summed in 64 bits, so that a count near 2^32 cannot wrap to a
    // small one in the 32-bit build.
    const uint64_t n = range.size();
    const uint64_t lead = (uint64_t{runs.leadCount} + 3) / 4 * 4;  // filled as whole words
    const uint64_t trail = runs.trailCount;
    if (lead > n || trail > n - lead)
        return false;
    uint8_t* p = range.data();
    for (size_t i = 0; i < lead; ++i)
        p[i] = runs.leadFill[i % 4];
    // Backwards from the end: the range's last byte takes the fill's last byte.
    for (size_t j = 1; j <= trail; ++j)
        p[n - j] = runs.trailFill[3 - (j - 1) % 4];

    const size_t middle = static_cast<size_t>(n - lead - trail);
    if (middle == 0)
        return true;
    size_t written = 0;
    if (!LzrwDecompress(packed.subspan(kPackedPictureHeaderBytes), range.subspan(lead, middle), written))
        return false;
    return written == middle;
}
