// Arbitrary bytes as the rows a system decoder hands back: a decompressor's bottom-up rows of 3
// or 4 bytes a pixel made a frame (never reading past the rows), WIC's pixels made opaque or
// composed over white, vic32's WIC rows copied into an image of the claimed size, and the JPEG
// test and frame sizes of its buffer calls.
#include <algorithm>

#include "quicktime/dll/StandInMovies.h"
#include "tests/fuzz/FuzzCheck.h"
#include "vic32/dll/VicLib.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;
constexpr size_t kHead = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHead || size > kMaxInput)
        return 0;
    const int32_t width = data[0] == 255 ? -1 : data[0];
    const int32_t height = data[1] == 255 ? -1 : data[1];
    const int bytes = data[2] % 6;
    const std::span<const uint8_t> rows(data + kHead, size - kHead);

    StandInImage frame;
    if (StandInImageFromBottomUpRows(rows, width, height, bytes, &frame)) {
        FuzzCheck(frame.width == width && frame.height == height && frame.bgra.size() == size_t(width) * height * 4);
        for (size_t i = 3; i < frame.bgra.size(); i += 4)
            FuzzCheck(frame.bgra[i] == 0xFF);
    }
    StandInImage wic;
    wic.bgra.assign(rows.begin(), rows.end());
    MakeStandInImageOpaque(&wic);
    std::vector<uint8_t> over(rows.begin(), rows.end());
    ComposeOverWhite(over);
    for (size_t i = 0; i + 4 <= over.size(); i += 4)
        FuzzCheck(over[i + 3] == 0 && (rows[i + 3] != 0 || (over[i] == 255 && over[i + 1] == 255 && over[i + 2] == 255)));

    VicStartsLikeJpeg(rows.data(), static_cast<uint32_t>(rows.size()));
    FuzzCheck(VicFrameSizeOk(static_cast<uint32_t>(width), static_cast<uint32_t>(height)) == (width >= 1 && height >= 1));
    VicImage image{};
    if (width >= 1 && height >= 1 && allocimage(&image, width, height, data[2] & 1 ? 8 : 24) == VIC_OK) {
        const uint32_t stride = static_cast<uint32_t>(image.rowBytes) + data[3] % 8;
        const int filled = VicFillRows(image, rows, stride);
        FuzzCheck((filled == VIC_OK) == (rows.size() >= size_t{stride} * static_cast<size_t>(height)));
        if (filled == VIC_OK)
            FuzzCheck(std::equal(VicRow(image, 0), VicRow(image, 0) + image.rowBytes, rows.begin()));
        freeimage(&image);
    }
    return 0;
}
