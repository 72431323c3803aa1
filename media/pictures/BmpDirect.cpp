// 16- and 32-bit BMP pixels through their channel masks (5-5-5 and 8-8-8 when the file gives
// none) into 24-bit rows.
#include "media/pictures/BmpDirect.h"

#include "core/memory/ByteReader.h"
#include "vic32/formats/BmpFormat.h"

bool IsDirectBmp(std::span<const uint8_t> file) {
    BmpLayout bmp;
    return ReadBmpLayout(file, &bmp) && (bmp.bitsPerPixel == 16 || bmp.bitsPerPixel == 32);
}

std::vector<uint8_t> DirectBmpToPackedDib(std::span<const uint8_t> file) {
    BmpLayout bmp;
    if (!ReadBmpLayout(file, &bmp) || (bmp.bitsPerPixel != 16 && bmp.bitsPerPixel != 32))
        return {};
    const uint32_t rowBytes = (static_cast<uint32_t>(bmp.width) * 24 + 31) / 32 * 4;
    const uint64_t imageBytes = uint64_t{rowBytes} * static_cast<uint32_t>(bmp.height);
    std::vector<uint8_t> dib(40 + static_cast<size_t>(imageBytes), 0);
    ByteWriter header({dib.data(), 40}, 0);
    header.U32LE(40);
    header.I32LE(bmp.width);
    header.I32LE(bmp.height);
    header.U16LE(1);
    header.U16LE(24);
    header.U32LE(0);
    header.U32LE(static_cast<uint32_t>(imageBytes));
    const size_t pixelBytes = static_cast<size_t>(bmp.bitsPerPixel / 8);
    for (int32_t y = 0; y < bmp.height; ++y) {
        const std::span<const uint8_t> from = BmpRow(bmp, y);
        uint8_t* to = dib.data() + 40 + static_cast<size_t>(bmp.height - 1 - y) * rowBytes;
        for (int32_t x = 0; x < bmp.width; ++x) {
            const uint8_t* p = from.data() + static_cast<size_t>(x) * pixelBytes;
            const uint32_t pixel = pixelBytes == 2 ? uint32_t{p[0]} | uint32_t{p[1]} << 8
                                                   : uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                                         uint32_t{p[3]} << 24;
            *to++ = BmpMaskedChannel(pixel, bmp.masks[2]);
            *to++ = BmpMaskedChannel(pixel, bmp.masks[1]);
            *to++ = BmpMaskedChannel(pixel, bmp.masks[0]);
        }
    }
    return dib;
}
