// Image descriptors: the checks every call makes, row addressing, and the images the library
// allocates for itself.
#include <cstdlib>

#include "vic32/dll/VicLib.h"
#include "vic32/formats/BmpFormat.h"

namespace {

// Larger images are refused before they are asked of the heap: 64 M pixels at 24 bits, the most
// the picture importer takes, which a 32-bit process can still hope to hold.
constexpr uint64_t kMaxImageBytes = uint64_t(64 * 3) << 20;

}  // namespace

int32_t VicRowBytes(int32_t width, int32_t bitsPerPixel) {
    if (width < 1 || width > VIC_MAX_DIMENSION || (bitsPerPixel != 8 && bitsPerPixel != 24))
        return 0;
    return (width * bitsPerPixel + 31) / 32 * 4;
}

bool VicImageOk(const VicImage* image) {
    if (!image || !image->header || !image->bits)
        return false;
    if (image->height < 1 || image->height > VIC_MAX_DIMENSION)
        return false;
    const int32_t rowBytes = VicRowBytes(image->width, image->bitsPerPixel);
    if (rowBytes == 0 || image->rowBytes != rowBytes)
        return false;
    if (image->bitsPerPixel == 8) {
        return image->palette && image->paletteSlots >= 1 && image->paletteSlots <= VIC_PALETTE_SLOTS &&
               image->colors >= 0 && image->colors <= image->paletteSlots;
    }
    return true;
}

uint8_t* VicRow(const VicImage& image, int32_t y) {
    const int32_t stored = image.topDown ? y : image.height - 1 - y;
    return image.bits + static_cast<size_t>(stored) * static_cast<size_t>(image.rowBytes);
}

void VicReadRowRgb(const VicImage& image, int32_t y, uint32_t* out) {
    const uint8_t* row = VicRow(image, y);
    if (image.bitsPerPixel == 24) {
        for (int32_t x = 0; x < image.width; ++x, row += 3)
            out[x] = VicRgb(row[2], row[1], row[0]);
        return;
    }
    for (int32_t x = 0; x < image.width; ++x)
        out[x] = row[x] < image.colors ? VicRgbOf(image.palette[row[x]]) : 0;
}

int VICAPI allocimage(VicImage* image, int32_t width, int32_t height, int32_t bitsPerPixel) {
    if (!image)
        return VIC_BAD_ARGUMENT;
    if (bitsPerPixel != 8 && bitsPerPixel != 24)
        return VIC_BAD_BITS;
    const int32_t rowBytes = VicRowBytes(width, bitsPerPixel);
    if (rowBytes == 0 || height < 1 || height > VIC_MAX_DIMENSION)
        return VIC_BAD_SIZE;
    const uint32_t tableBytes = bitsPerPixel == 8 ? VIC_PALETTE_SLOTS * sizeof(VicColor) : 0;
    const uint64_t imageBytes = uint64_t{static_cast<uint32_t>(rowBytes)} * static_cast<uint32_t>(height);
    const uint64_t total = kBmpInfoHeaderSize + tableBytes + imageBytes;
    if (imageBytes > kMaxImageBytes)
        return VIC_NO_MEMORY;
    auto* block = static_cast<uint8_t*>(std::calloc(1, static_cast<size_t>(total)));
    if (!block)
        return VIC_NO_MEMORY;

    // Resolution and colour counts 0: a table of 2^depth entries.
    WriteBmpInfoHeader({block, kBmpInfoHeaderSize}, width, height, bitsPerPixel, static_cast<uint32_t>(imageBytes));

    *image = VicImage{};
    image->header = block;
    image->bits = block + kBmpInfoHeaderSize + tableBytes;
    image->width = width;
    image->height = height;
    image->bitsPerPixel = bitsPerPixel;
    image->rowBytes = rowBytes;
    image->block = block;
    if (bitsPerPixel == 8) {
        image->palette = reinterpret_cast<VicColor*>(block + kBmpInfoHeaderSize);
        image->paletteSlots = VIC_PALETTE_SLOTS;
        image->colors = VIC_PALETTE_SLOTS;
        // A grey ramp, so that a new 8-bit image shows as something sensible.
        for (int i = 0; i < VIC_PALETTE_SLOTS; ++i) {
            const auto level = static_cast<uint8_t>(i);
            image->palette[i] = VicColor{level, level, level, 0};
        }
    }
    return VIC_OK;
}

void VICAPI freeimage(VicImage* image) {
    if (!image)
        return;
    std::free(image->block);
    *image = VicImage{};
}

int VICAPI copyimgdes(const VicImage* source, VicImage* copy) {
    // A descriptor copied onto itself would drop its ownership.
    if (!copy || copy == source || !VicImageOk(source))
        return VIC_BAD_ARGUMENT;
    *copy = *source;
    copy->block = nullptr;
    return VIC_OK;
}
