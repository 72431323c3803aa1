// Arbitrary bytes as a card record in memory order: its picture, at the size and depth the record
// names (kept small), is refused or read into rows exactly as long as the picture's (the
// sanitizers watch every read); a picture that was read packs again and reads back the same.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/PackedPicture.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;
constexpr int kMaxExtent = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const std::span<const uint8_t> record(data, size);
    const int width = GetU16(record, kCardWidth) % kMaxExtent + 1;
    const int height = GetU16(record, kCardHeight) % kMaxExtent + 1;
    const int depth = GetU16(record, kCardDepth);
    std::vector<uint8_t> rows;
    std::span<const uint8_t> table;
    const PictureReadResult result = ReadPictureRecordRows(record, width, height, depth, rows, &table, nullptr);
    if (result != PictureReadResult::Read) {
        FuzzCheck(rows.empty());
        return 0;
    }
    FuzzCheck(rows.size() == size_t(MacRowBytes(depth, width)) * size_t(height));
    FuzzCheck(table.empty() || (table.data() >= data && table.data() + table.size() <= data + size));

    // Packed as the program packs a picture, put back into the record, read again.
    const int handles = MemRefsCount();
    if (Handle packed = PackPictureRows(rows, static_cast<uint32_t>(MacRowBytes(depth, width)), false)) {
        std::vector<uint8_t> again(record.begin(), record.begin() + kPictureBlockOffset);
        std::vector<uint8_t> block(kPictureBlockHeaderBytes, 0);
        const std::vector<uint8_t> bytes = HandleToBytes(packed);
        SetU16(block, kBlockFormat, kPictureFormatPacked);
        SetU32(block, kBlockLength, static_cast<uint32_t>(kPictureBlockHeaderBytes + bytes.size()));
        again.insert(again.end(), block.begin(), block.end());
        again.insert(again.end(), bytes.begin(), bytes.end());
        std::vector<uint8_t> back;
        FuzzCheck(ReadPictureRecordRows(again, width, height, depth, back, nullptr, nullptr) == PictureReadResult::Read);
        FuzzCheck(back == rows);
        DisposeHandle(packed);
    }
    // The DIB of the same picture, through a handle.
    if (Handle card = NewHandleFromBytes(record)) {
        PictureReadResult made = PictureReadResult::None;
        DibHandle dib = DibFromPictureResource(card, width, height, depth, true, true, &made);
        FuzzCheck(made == PictureReadResult::Read);
        DisposeHandle(dib);
        DisposeHandle(card);
    }
    FuzzCheck(MemRefsCount() == handles);
    return 0;
}
