// BMP files in the library: 1, 4 and 8 bits become 8-bit images with the file's table, 24 bits
// stay 24; written out as a file header before the packed DIB the library makes.
#include <cstring>

#include "core/memory/ByteReader.h"
#include "vic32/dll/VicLib.h"
#include "vic32/formats/BmpFormat.h"

namespace {

int32_t LoadedDepth(int fileBits) { return fileBits <= 8 ? 8 : fileBits == 24 ? 24 : 0; }

}  // namespace

int VicBmpHeader(std::span<const uint8_t> file, VicBitmapHeader* header) {
    if (!header)
        return VIC_BAD_ARGUMENT;
    BmpLayout bmp;
    if (!ReadBmpLayout(file, &bmp))
        return VIC_BAD_FILE;
    VicBitmapHeader made{};
    made.size = 40;
    made.width = bmp.width;
    made.height = bmp.topDown ? -bmp.height : bmp.height;
    made.planes = 1;
    made.bitCount = static_cast<uint16_t>(bmp.bitsPerPixel);
    made.compression = bmp.compression;
    made.sizeImage = static_cast<uint32_t>(bmp.pixels.size());
    made.clrUsed = bmp.tableEntries;
    *header = made;
    return VIC_OK;
}

int VicBmpLoad(std::span<const uint8_t> file, VicImage* image) {
    BmpLayout bmp;
    if (!ReadBmpLayout(file, &bmp))
        return VIC_BAD_FILE;
    const int32_t depth = LoadedDepth(bmp.bitsPerPixel);
    if (depth == 0)
        return VIC_BAD_BITS;
    if (!VicImageIs(image, bmp.width, bmp.height, depth))
        return VIC_BAD_SIZE;
    if (depth == 24) {
        const size_t used = static_cast<size_t>(bmp.width) * 3;
        for (int32_t y = 0; y < bmp.height; ++y)
            std::memcpy(VicRow(*image, y), BmpRow(bmp, y).data(), used);
        return VIC_OK;
    }
    const int32_t entries = static_cast<int32_t>(bmp.tableEntries) < image->paletteSlots
                                ? static_cast<int32_t>(bmp.tableEntries)
                                : image->paletteSlots;
    for (int32_t i = 0; i < entries; ++i) {
        const uint8_t* entry = bmp.table.data() + static_cast<size_t>(i) * bmp.tableEntrySize;
        image->palette[i] = VicColor{entry[0], entry[1], entry[2], 0};
    }
    image->colors = entries;
    const int bits = bmp.bitsPerPixel;
    const int perByte = 8 / bits;
    const uint8_t mask = static_cast<uint8_t>((1u << bits) - 1);
    for (int32_t y = 0; y < bmp.height; ++y) {
        const std::span<const uint8_t> from = BmpRow(bmp, y);
        uint8_t* to = VicRow(*image, y);
        for (int32_t x = 0; x < bmp.width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            // An index past the table reads as black (VicReadRowRgb), never past the palette.
            to[x] = static_cast<uint8_t>(from[static_cast<size_t>(x / perByte)] >> shift & mask);
        }
    }
    return VIC_OK;
}

int VicBmpEncode(const VicImage& image, std::vector<uint8_t>& out) {
    const uint32_t dibBytes = VicPackedDibBytes(image);
    if (dibBytes == 0)
        return VIC_BAD_ARGUMENT;
    const uint32_t tableBytes = image.bitsPerPixel == 8 ? VIC_PALETTE_SLOTS * 4 : 0;
    out.assign(kBmpFileHeaderSize + dibBytes, 0);
    ByteWriter header({out.data(), kBmpFileHeaderSize}, 0);
    header.U8('B');
    header.U8('M');
    header.U32LE(static_cast<uint32_t>(out.size()));
    header.U32LE(0);
    header.U32LE(kBmpFileHeaderSize + 40 + tableBytes);
    return VicWritePackedDib(image, {out.data() + kBmpFileHeaderSize, dibBytes});
}
