// Reading a card picture out of its record into stored rows, and the DIB made from them.
#include "stack/pictures/CardPictureDib.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/Lzrw.h"
#include "format/StackFile.h"
#include "stack/pictures/PackedPicture.h"

namespace {

PictureReadResult Refuse(const char** reason, const char* why) {
    if (reason)
        *reason = why;
    return PictureReadResult::Damaged;
}

}  // namespace

PictureReadResult ReadPictureRecordRows(std::span<const uint8_t> holder, int width, int height, int depth,
                                        std::vector<uint8_t>& rows, std::span<const uint8_t>* table,
                                        const char** reason) {
    rows.clear();
    if (table)
        *table = {};
    if (reason)
        *reason = "";
    if (holder.size() < kCardHeaderBytes || GetU16(holder, kCardKind) != kCardKindPicture)
        return PictureReadResult::None;
    if (!IsDibDepth(depth) || depth == 24 || width <= 0 || height <= 0 || width > kMaxCardExtent ||
        height > kMaxCardExtent)
        return Refuse(reason, "card size or depth unfit for a picture");
    if (holder.size() <= kMinCardRecordBytes || holder.size() < kPictureTableOffset)
        return Refuse(reason, "picture record too short for its block header");

    const std::span<const uint8_t> block = holder.subspan(kPictureBlockOffset);
    const uint16_t coding = GetU16(block, kBlockFormat);
    const bool padded = (GetU16(block, kBlockFlags) & kPicturePadFlag) != 0;
    const uint64_t blockLength = GetU32(block, kBlockLength);
    const uint64_t tableLength = GetU32(block, kBlockTableSize);
    if (blockLength > block.size())
        return Refuse(reason, "picture block runs past its record");
    if (tableLength > blockLength || kPictureBlockHeaderBytes + tableLength > blockLength)
        return Refuse(reason, "colour table runs past its picture block");
    uint64_t runHeader = 0;
    if (coding == kPictureFormatPacked)
        runHeader = kRunHeaderBytes;
    else if (coding != kPictureFormatStream)
        return Refuse(reason, "picture coding is neither 1 nor 2");
    // Summed in 64 bits: no length from the file can wrap to a small one.
    const uint64_t used = kPictureBlockHeaderBytes + tableLength + runHeader + (padded ? 1 : 0);
    if (used > blockLength)
        return Refuse(reason, "stream length below zero");
    const std::span<const uint8_t> colors = holder.subspan(kPictureTableOffset, static_cast<size_t>(tableLength));
    const std::span<const uint8_t> runBytes = holder.subspan(kPictureTableOffset + static_cast<size_t>(tableLength),
                                                             static_cast<size_t>(runHeader));
    const std::span<const uint8_t> stream =
        holder.subspan(kPictureTableOffset + static_cast<size_t>(tableLength + runHeader),
                       static_cast<size_t>(blockLength - used));

    rows.assign(size_t(MacRowBytes(depth, width)) * size_t(height), 0);
    PackedPictureRuns runs;
    if (runHeader && !ReadPackedPictureRuns(runBytes, runs))
        return Refuse(reason, "run header cut short");
    // Whole 32-bit words of lead; both runs clamped to the rows, the trail to what the lead
    // leaves, so no count from the file reaches past them.
    const uint64_t n = rows.size();
    const uint64_t lead = std::min<uint64_t>((uint64_t{runs.leadCount} + 3) / 4 * 4, n);
    const uint64_t trail = std::min<uint64_t>(runs.trailCount, n - lead);
    for (size_t i = 0; i < lead; ++i)
        rows[i] = runs.leadFill[i % 4];
    for (size_t j = 1; j <= trail; ++j)
        rows[size_t(n - j)] = runs.trailFill[3 - (j - 1) % 4];
    const size_t middle = static_cast<size_t>(n - lead - trail);
    if (middle > 0) {
        size_t written = 0;
        if (!LzrwDecompress(stream, std::span<uint8_t>(rows).subspan(static_cast<size_t>(lead), middle), written) ||
            written != middle) {
            rows.clear();
            return Refuse(reason, "packed stream does not fill the picture");
        }
    }
    if (table)
        *table = colors;
    return PictureReadResult::Read;
}

DibHandle DibFromPictureResource(Handle card, int width, int height, int depth, bool flip, bool useStoredColors,
                                 PictureReadResult* result) {
    PictureReadResult unused = PictureReadResult::None;
    PictureReadResult& outcome = result ? *result : unused;
    outcome = PictureReadResult::None;
    if (GetHandleWord(card, kCardKind) == kCardKindPlain)
        return 0;
    const Handle holder = ResolvePictureRecord(card);
    if (!holder)
        return 0;
    std::vector<uint8_t> rows;
    std::vector<uint8_t> colors;
    {
        HandleLock lock(holder);
        if (!lock)
            return 0;
        std::span<const uint8_t> table;
        outcome = ReadPictureRecordRows(lock.bytes(), width, height, depth, rows, &table,
                                        nullptr);
        colors.assign(table.begin(), table.end());
    }
    if (outcome != PictureReadResult::Read)
        return 0;

    ScopedHandle macRows(NewMacRowsHandle(width, height, depth));
    {
        LockedDib locked(macRows.get(), RowRule::Mac);
        if (!locked || locked.image().size() != rows.size())
            return 0;
        std::copy(rows.begin(), rows.end(), locked.image().begin());
        if (!useStoredColors)  // the identity table: entry i names palette index i
            for (uint32_t i = 0; i < locked.layout().tableEntries; ++i)
                SetU16(locked.table(), 4 * i, static_cast<uint16_t>(i));
    }
    // Rows of 16-pixel groups are already 32-bit rows when both sizes agree.
    DibHandle dib = MacRowBytes(depth, width) == DibRowBytes(depth, width) ? macRows.release()
                                                                           : MacRowsToDib(macRows.get());
    // Into the DIB: a 1-bit Mac rows handle can be shorter than the DIB rows its header names.
    if (dib && useStoredColors && depth <= 8)
        DibSetColorsFromMacTable(dib, colors);
    if (dib && flip && !DibFlipRows(dib))
        DisposeHandleAndClear(&dib);
    return dib;
}
