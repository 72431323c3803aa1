// Checking a packed DIB taken from the system clipboard.
#include "stack/clipboard/ClipboardDib.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr int kMaxDimension = 32767;

bool KnownHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

}  // namespace

bool CheckClipboardDib(std::span<const uint8_t> block, ClipboardDibLayout* layout) {
    if (block.size() < 40)
        return false;
    const uint32_t headerBytes = GetU32(block, 0);
    if (!KnownHeaderSize(headerBytes) || headerBytes > block.size())
        return false;
    const int32_t width = static_cast<int32_t>(GetU32(block, 4));
    const int32_t height = static_cast<int32_t>(GetU32(block, 8));
    const uint16_t planes = GetU16(block, 12);
    const uint16_t bits = GetU16(block, 14);
    const uint32_t compression = GetU32(block, 16);
    const uint32_t used = GetU32(block, 32);
    if (width < 1 || width > kMaxDimension || height == 0 || height < -kMaxDimension || height > kMaxDimension)
        return false;
    if (planes != 1 || !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32))
        return false;
    if (!(compression == kBiRgb || (compression == kBiBitfields && (bits == 16 || bits == 32))))
        return false;
    uint64_t colors = used;
    if (bits <= 8) {
        if (used > (1u << bits))
            return false;
        if (used == 0)
            colors = 1u << bits;
    } else if (used > 256) {
        return false;
    }
    // The three masks of a 40-byte bit-field header follow it; larger headers hold them.
    const uint64_t masks = (compression == kBiBitfields && headerBytes == 40) ? 12 : 0;
    const uint64_t table = masks + colors * 4;
    const uint64_t rowBytes = (uint64_t{bits} * static_cast<uint32_t>(width) + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(height < 0 ? -int64_t{height} : height);
    const uint64_t image = rowBytes * rows;
    if (uint64_t{headerBytes} + table + image > block.size())
        return false;
    if (layout) {
        layout->width = width;
        layout->height = static_cast<int>(rows);
        layout->topDown = height < 0;
        layout->bitCount = bits;
        layout->headerBytes = headerBytes;
        layout->tableBytes = static_cast<uint32_t>(table);
        layout->bitsOffset = static_cast<uint32_t>(headerBytes + table);
        layout->imageBytes = static_cast<uint32_t>(image);
    }
    return true;
}
