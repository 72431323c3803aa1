// Reading a BMP file's headers: the file header, the info header (core, 40 bytes or later), the
// bit-field masks, the colour table and the rows, all bounded by the file.
#include "vic32/formats/BmpFormat.h"

#include <bit>

#include "core/memory/ByteReader.h"

namespace {

bool DepthTaken(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

}  // namespace

bool ReadBmpInfoHeader(std::span<const uint8_t> bytes, BmpInfoHeader* out) {
    ByteReader in(bytes);
    // A braced list reads its fields in order.
    *out = {in.U32LE(), in.I32LE(), in.I32LE(), in.U16LE(), in.U16LE(), in.U32LE(), in.U32LE()};
    in.Skip(8);  // resolution
    out->colorsUsed = in.U32LE();
    return in.ok();
}

bool WriteBmpInfoHeader(std::span<uint8_t> out, int32_t width, int32_t height, int bitsPerPixel, uint32_t imageSize) {
    ByteWriter w(out, 0);
    w.U32LE(kBmpInfoHeaderSize);
    w.I32LE(width);
    w.I32LE(height);
    w.U16LE(1);
    w.U16LE(static_cast<uint16_t>(bitsPerPixel));
    w.U32LE(kBmpRgb);
    w.U32LE(imageSize);
    for (int i = 0; i < 4; ++i)  // resolutions, colours used, colours important
        w.U32LE(0);
    return w.ok();
}

bool ReadBmpLayout(std::span<const uint8_t> file, BmpLayout* out) {
    if (!out || file.size() < kBmpFileHeaderSize + kBmpCoreHeaderSize || file[0] != 'B' || file[1] != 'M')
        return false;
    ByteReader in(file, 10);
    const uint32_t pixelOffset = in.U32LE();
    BmpLayout bmp;
    bmp.headerSize = in.U32LE();
    int32_t signedHeight = 0;
    uint16_t planes = 0;
    uint32_t colorsUsed = 0;
    if (bmp.headerSize == kBmpCoreHeaderSize) {
        bmp.width = in.U16LE();
        signedHeight = in.U16LE();
        planes = in.U16LE();
        bmp.bitsPerPixel = in.U16LE();
        bmp.tableEntrySize = 3;
    } else if (bmp.headerSize >= kBmpInfoHeaderSize && bmp.headerSize <= 1024) {
        BmpInfoHeader info;
        if (!ReadBmpInfoHeader(file.subspan(kBmpFileHeaderSize), &info))
            return false;
        bmp.width = info.width;
        signedHeight = info.height;
        planes = info.planes;
        bmp.bitsPerPixel = info.bitsPerPixel;
        bmp.compression = info.compression;
        colorsUsed = info.colorsUsed;
        // A later header carries its masks inside it, the 40-byte one just after it.
        in.Seek(kBmpFileHeaderSize + kBmpInfoHeaderSize);
    } else {
        return false;
    }
    if (!in.ok() || planes != 1 || !DepthTaken(bmp.bitsPerPixel) || signedHeight == INT32_MIN)
        return false;
    bmp.topDown = signedHeight < 0;
    bmp.height = bmp.topDown ? -signedHeight : signedHeight;
    if (bmp.width < 1 || bmp.width > kBmpMaxDimension || bmp.height < 1 || bmp.height > kBmpMaxDimension)
        return false;

    const bool direct = bmp.bitsPerPixel == 16 || bmp.bitsPerPixel == 32;
    if (bmp.compression == kBmpBitFields && direct) {
        for (uint32_t& mask : bmp.masks)
            mask = in.U32LE();
        if (!in.ok() || bmp.masks[0] == 0 || bmp.masks[1] == 0 || bmp.masks[2] == 0)
            return false;
    } else if (bmp.compression == kBmpRgb) {
        if (bmp.bitsPerPixel == 16) {
            bmp.masks[0] = 0x7C00, bmp.masks[1] = 0x03E0, bmp.masks[2] = 0x001F;
        } else if (bmp.bitsPerPixel == 32) {
            bmp.masks[0] = 0xFF0000, bmp.masks[1] = 0x00FF00, bmp.masks[2] = 0x0000FF;
        }
    } else {
        return false;  // run-length and embedded formats are not read
    }

    if (bmp.bitsPerPixel <= 8) {
        const uint32_t full = 1u << bmp.bitsPerPixel;
        bmp.tableEntries = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
        const uint64_t tableStart = uint64_t{kBmpFileHeaderSize} + bmp.headerSize;
        const uint64_t tableBytes = uint64_t{bmp.tableEntries} * bmp.tableEntrySize;
        // A table cut short by the pixel offset keeps the entries that fit.
        uint64_t tableEnd = tableStart + tableBytes;
        if (pixelOffset >= tableStart && pixelOffset < tableEnd)
            tableEnd = pixelOffset;
        if (tableEnd > file.size())
            return false;
        bmp.tableEntries = static_cast<uint32_t>((tableEnd - tableStart) / bmp.tableEntrySize);
        bmp.table = file.subspan(static_cast<size_t>(tableStart), bmp.tableEntries * bmp.tableEntrySize);
    }

    bmp.rowBytes = (static_cast<uint32_t>(bmp.width) * static_cast<uint32_t>(bmp.bitsPerPixel) + 31) / 32 * 4;
    const uint64_t imageBytes = uint64_t{bmp.rowBytes} * static_cast<uint32_t>(bmp.height);
    if (pixelOffset < kBmpFileHeaderSize + bmp.headerSize || pixelOffset > file.size() ||
        imageBytes > file.size() - pixelOffset)
        return false;
    bmp.pixels = file.subspan(pixelOffset, static_cast<size_t>(imageBytes));
    *out = bmp;
    return true;
}

std::span<const uint8_t> BmpRow(const BmpLayout& bmp, int32_t y) {
    const int32_t stored = bmp.topDown ? y : bmp.height - 1 - y;
    return bmp.pixels.subspan(static_cast<size_t>(stored) * bmp.rowBytes, bmp.rowBytes);
}

uint8_t BmpMaskedChannel(uint32_t pixel, uint32_t mask) {
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t field = mask >> shift;
    const uint32_t value = (pixel & mask) >> shift;
    // Scaled so that the field's largest value gives 255 (a field may be wider than 8 bits).
    return static_cast<uint8_t>((uint64_t{value} * 255 + field / 2) / field);
}
