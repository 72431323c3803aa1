// Arbitrary bytes as a PCX and as a TGA file: the loaders stay within the bytes, and an image
// they accept writes out and reads back to the same pixels.
#include <cstdint>
#include <vector>

#include "vic32/dll/VicLib.h"

namespace {

using Info = int (*)(std::span<const uint8_t>, VicFileInfo*);
using Load = int (*)(std::span<const uint8_t>, VicImage*);
using Encode = int (*)(const VicImage&, std::vector<uint8_t>&);

bool Same(const VicImage& a, const VicImage& b) {
    std::vector<uint32_t> ra(static_cast<size_t>(a.width)), rb(static_cast<size_t>(b.width));
    for (int32_t y = 0; y < a.height; ++y) {
        VicReadRowRgb(a, y, ra.data());
        VicReadRowRgb(b, y, rb.data());
        if (ra != rb)
            return false;
    }
    return true;
}

void Check(const std::vector<uint8_t>& file, Info info, Load load, Encode encode) {
    VicFileInfo about{};
    if (info(file, &about) != VIC_OK)
        return;
    if (uint64_t{static_cast<uint32_t>(about.width)} * static_cast<uint32_t>(about.length) > (1u << 20))
        return;
    VicImage image{};
    if (allocimage(&image, about.width, about.length, about.bitsPerPixel) != VIC_OK)
        __builtin_trap();
    if (load(file, &image) == VIC_OK) {
        std::vector<uint8_t> written;
        VicImage back{};
        if (encode(image, written) != VIC_OK || allocimage(&back, image.width, image.height, image.bitsPerPixel) != VIC_OK ||
            load(written, &back) != VIC_OK || !Same(image, back))
            __builtin_trap();
        freeimage(&back);
    }
    freeimage(&image);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    Check(file, VicPcxInfo, VicPcxLoad, VicPcxEncode);
    Check(file, VicTgaInfo, VicTgaLoad, [](const VicImage& image, std::vector<uint8_t>& out) {
        return VicTgaEncode(image, (image.width & 1) != 0, out);
    });
    return 0;
}
