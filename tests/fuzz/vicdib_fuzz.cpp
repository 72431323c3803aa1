// Arbitrary bytes as a packed DIB handed to the imaging library: describing it stays within the
// bytes (the sanitizers watch), an accepted DIB writes out and reads back to the same pixels,
// and reducing and matching it give only indexes into the palette made or given.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vic32/dll/VicLib.h"

namespace {

bool SamePixels(const VicImage& a, const VicImage& b) {
    if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel)
        return false;
    std::vector<uint32_t> rowA(static_cast<size_t>(a.width)), rowB(static_cast<size_t>(b.width));
    for (int32_t y = 0; y < a.height; ++y) {
        VicReadRowRgb(a, y, rowA.data());
        VicReadRowRgb(b, y, rowB.data());
        if (rowA != rowB)
            return false;
    }
    return true;
}

bool IndexesBelow(const VicImage& image, int32_t colors) {
    for (int32_t y = 0; y < image.height; ++y) {
        const uint8_t* row = VicRow(image, y);
        for (int32_t x = 0; x < image.width; ++x) {
            if (row[x] >= colors)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input's size, so that a read past it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    VicImage view{};
    if (setupimgdes(bytes.data(), static_cast<uint32_t>(bytes.size()), &view) != VIC_OK)
        return 0;

    std::vector<uint8_t> written(VicPackedDibBytes(view));
    VicImage again{};
    if (written.empty() || VicWritePackedDib(view, written) != VIC_OK ||
        setupimgdes(written.data(), static_cast<uint32_t>(written.size()), &again) != VIC_OK || !SamePixels(view, again))
        __builtin_trap();

    VicImage clone{};
    if (VicCloneImage(view, &clone) != VIC_OK || !SamePixels(view, clone))
        __builtin_trap();

    VicImage indexed{};
    if (allocimage(&indexed, view.width, view.height, 8) != VIC_OK)
        __builtin_trap();
    if (view.bitsPerPixel == 24) {
        if (convertrgbtopal(16, &view, &indexed) != VIC_OK || indexed.colors < 1 || indexed.colors > 16 ||
            !IndexesBelow(indexed, indexed.colors))
            __builtin_trap();
    }
    // A palette of the first few input bytes, matched in every mode, in place over the clone too.
    indexed.colors = 1 + data[0] % 256;
    std::memcpy(indexed.palette, data, std::min<size_t>(size, sizeof(VicColor) * indexed.colors));
    for (int32_t mode : {VIC_MATCH_NEAREST, VIC_MATCH_DIFFUSE, VIC_MATCH_PERCEPTUAL}) {
        if (matchcolorimageex(&view, &indexed, mode) != VIC_OK || !IndexesBelow(indexed, indexed.colors))
            __builtin_trap();
    }
    if (clone.bitsPerPixel == 8 && clone.colors > 0 && matchcolorimageex(&clone, &clone, VIC_MATCH_DIFFUSE) != VIC_OK)
        __builtin_trap();
    freeimage(&indexed);
    freeimage(&clone);
    return 0;
}
