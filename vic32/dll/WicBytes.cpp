// The WIC wrappers' own byte work, without Windows (VicLib.h): whether bytes may be JPEG, the
// sizes a decoder's frame may have, and its rows copied into an image.
#include <cstring>

#include "vic32/dll/VicLib.h"

bool VicStartsLikeJpeg(const uint8_t* bytes, uint32_t length) {
    return bytes && length >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

bool VicFrameSizeOk(uint32_t width, uint32_t height) {
    return width >= 1 && height >= 1 && width <= VIC_MAX_DIMENSION && height <= VIC_MAX_DIMENSION;
}

int VicFillRows(const VicImage& image, std::span<const uint8_t> rows, uint32_t stride) {
    if (!VicImageOk(&image) || stride < static_cast<uint32_t>(image.rowBytes) ||
        rows.size() / stride < static_cast<size_t>(image.height))
        return VIC_BAD_SIZE;
    for (int32_t y = 0; y < image.height; ++y)
        std::memcpy(VicRow(image, y), rows.data() + static_cast<size_t>(y) * stride, static_cast<size_t>(image.rowBytes));
    return VIC_OK;
}
