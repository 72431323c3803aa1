// Packed DIBs: describing one in place (setupimgdes), writing an image out as one, and copies of
// images that own their memory.
#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "vic32/dll/VicLib.h"
#include "vic32/formats/BmpFormat.h"

namespace {

// The info header and its later versions (V2, V3, V4, V5), all with the same first 40 bytes.
bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

uint32_t TableBytes(const VicImage& image) {
    return image.bitsPerPixel == 8 ? VIC_PALETTE_SLOTS * sizeof(VicColor) : 0;
}

}  // namespace

int VICAPI setupimgdes(uint8_t* dib, uint32_t bytes, VicImage* image) {
    if (!dib || !image)
        return VIC_BAD_ARGUMENT;
    const std::span<const uint8_t> all{dib, bytes};
    BmpInfoHeader info;  // its image size may be 0 when uncompressed
    if (!ReadBmpInfoHeader(all, &info) || !IsInfoHeaderSize(info.size) || info.size > bytes || info.planes != 1 ||
        info.compression != kBmpRgb)
        return VIC_BAD_DIB;
    const uint32_t headerSize = info.size, colorsUsed = info.colorsUsed;
    const int32_t width = info.width, signedHeight = info.height;
    const uint16_t bitsPerPixel = info.bitsPerPixel;
    if (bitsPerPixel != 8 && bitsPerPixel != 24)
        return VIC_BAD_BITS;
    // Height is negative for rows stored top row first; INT32_MIN has no positive counterpart.
    if (signedHeight == INT32_MIN)
        return VIC_BAD_SIZE;
    const int32_t height = signedHeight < 0 ? -signedHeight : signedHeight;
    const int32_t rowBytes = VicRowBytes(width, bitsPerPixel);
    if (rowBytes == 0 || height < 1 || height > VIC_MAX_DIMENSION)
        return VIC_BAD_SIZE;

    // An 8-bit table has colorsUsed entries, 256 when that is 0; a 24-bit DIB may carry a table
    // too, which only precedes the rows.
    const uint32_t entries = bitsPerPixel == 8 && colorsUsed == 0 ? uint32_t{VIC_PALETTE_SLOTS} : colorsUsed;
    if (entries > VIC_PALETTE_SLOTS)
        return VIC_BAD_DIB;
    const uint64_t bitsOffset = uint64_t{headerSize} + 4 * uint64_t{entries};
    const uint64_t imageBytes = uint64_t{static_cast<uint32_t>(rowBytes)} * static_cast<uint32_t>(height);
    if (bitsOffset + imageBytes > bytes)
        return VIC_BAD_DIB;

    *image = VicImage{};
    image->header = dib;
    image->bits = dib + bitsOffset;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bitsPerPixel;
    image->rowBytes = rowBytes;
    image->topDown = signedHeight < 0 ? 1 : 0;
    if (bitsPerPixel == 8) {
        image->palette = reinterpret_cast<VicColor*>(dib + headerSize);
        image->colors = static_cast<int32_t>(entries);
        image->paletteSlots = static_cast<int32_t>(entries);
    }
    return VIC_OK;
}

uint32_t VicPackedDibBytes(const VicImage& image) {
    if (!VicImageOk(&image))
        return 0;
    return kBmpInfoHeaderSize + TableBytes(image) +
           static_cast<uint32_t>(image.rowBytes) * static_cast<uint32_t>(image.height);
}

int VicWritePackedDib(const VicImage& image, std::span<uint8_t> out) {
    const uint32_t total = VicPackedDibBytes(image);
    if (total == 0)
        return VIC_BAD_ARGUMENT;
    if (out.size() < total)
        return VIC_NO_MEMORY;
    const uint32_t imageBytes = static_cast<uint32_t>(image.rowBytes) * static_cast<uint32_t>(image.height);
    // Colour counts 0: a full table.
    WriteBmpInfoHeader(out, image.width, image.height, image.bitsPerPixel, imageBytes);
    ByteWriter w(out, kBmpInfoHeaderSize);
    if (image.bitsPerPixel == 8) {
        for (int32_t i = 0; i < VIC_PALETTE_SLOTS; ++i) {
            const VicColor c = i < image.colors ? image.palette[i] : VicColor{};
            w.U8(c.blue);
            w.U8(c.green);
            w.U8(c.red);
            w.U8(0);
        }
    }
    for (int32_t row = 0; row < image.height; ++row)
        w.Bytes({VicRow(image, image.height - 1 - row), static_cast<size_t>(image.rowBytes)});
    return w.ok() ? VIC_OK : VIC_NO_MEMORY;
}

int VicCloneImage(const VicImage& source, VicImage* copy) {
    if (!copy || !VicImageOk(&source))
        return VIC_BAD_ARGUMENT;
    VicImage made{};
    const int result = allocimage(&made, source.width, source.height, source.bitsPerPixel);
    if (result != VIC_OK)
        return result;
    if (source.bitsPerPixel == 8) {
        std::fill(made.palette, made.palette + made.paletteSlots, VicColor{});
        std::memcpy(made.palette, source.palette, sizeof(VicColor) * static_cast<size_t>(source.colors));
        made.colors = source.colors;
    }
    for (int32_t y = 0; y < source.height; ++y)
        std::memcpy(VicRow(made, y), VicRow(source, y), static_cast<size_t>(source.rowBytes));
    *copy = made;
    return VIC_OK;
}

int VicCopyPixels(const VicImage& source, VicImage* target) {
    if (!VicImageOk(&source) || !VicImageOk(target))
        return VIC_BAD_ARGUMENT;
    if (source.width != target->width || source.height != target->height || source.bitsPerPixel != target->bitsPerPixel)
        return VIC_BAD_SIZE;
    if (source.bitsPerPixel == 8) {
        const int32_t entries = std::min(source.colors, target->paletteSlots);
        std::memcpy(target->palette, source.palette, sizeof(VicColor) * static_cast<size_t>(entries));
        target->colors = entries;
    }
    for (int32_t y = 0; y < source.height; ++y)
        std::memcpy(VicRow(*target, y), VicRow(source, y), static_cast<size_t>(source.rowBytes));
    return VIC_OK;
}
