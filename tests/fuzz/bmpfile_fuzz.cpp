// Arbitrary bytes as a BMP file: the layout reader, the library's loader and the picture
// import's direct reader stay within the bytes, and what they accept has the size they said.
#include <cstdint>
#include <vector>

#include "media/pictures/BmpDirect.h"
#include "vic32/dll/VicLib.h"
#include "vic32/formats/BmpFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    BmpLayout bmp;
    if (!ReadBmpLayout(file, &bmp))
        return 0;
    if (bmp.pixels.size() != size_t{bmp.rowBytes} * static_cast<uint32_t>(bmp.height))
        __builtin_trap();
    VicBitmapHeader header{};
    if (VicBmpHeader(file, &header) != VIC_OK || header.width != bmp.width)
        __builtin_trap();
    // Images are capped so that the fuzzer spends its time on the bytes, not on allocations.
    if (uint64_t{static_cast<uint32_t>(bmp.width)} * static_cast<uint32_t>(bmp.height) > (1u << 20))
        return 0;
    if (bmp.bitsPerPixel == 16 || bmp.bitsPerPixel == 32) {
        const std::vector<uint8_t> dib = DirectBmpToPackedDib(file);
        const size_t rowBytes = (static_cast<size_t>(bmp.width) * 24 + 31) / 32 * 4;
        if (dib.size() != 40 + rowBytes * static_cast<size_t>(bmp.height))
            __builtin_trap();
        return 0;
    }
    VicImage image{};
    if (allocimage(&image, bmp.width, bmp.height, bmp.bitsPerPixel <= 8 ? 8 : 24) != VIC_OK)
        return 0;
    if (VicBmpLoad(file, &image) != VIC_OK || image.colors > image.paletteSlots)
        __builtin_trap();
    freeimage(&image);
    return 0;
}
