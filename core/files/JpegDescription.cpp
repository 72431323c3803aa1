// The image description stored in front of JPEG picture data.
#include "core/files/JpegDescription.h"

#include <algorithm>
#include <string_view>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kSpatialQuality = 0x00000200;
constexpr uint32_t kResolution72 = 0x00480000;  // 72.0 in 16.16 fixed point
constexpr std::string_view kCompressorName = "Photo - JPEG";
constexpr size_t kNameFieldSize = 32;

}  // namespace

bool BuildJpegImageDesc(std::span<uint8_t, kJpegImageDescSize> out, int32_t width, int32_t height,
                        int32_t depth) {
    std::fill(out.begin(), out.end(), uint8_t{0});
    if (width < 1 || width > 32767 || height < 1 || height > 32767 || depth < 1 || depth > 32)
        return false;

    // At most 2048 x 32 x 2 x 32767 bytes, which fits in 32 bits.
    const uint32_t rowBytes = static_cast<uint32_t>((width + 15) / 16) * static_cast<uint32_t>(depth) * 2;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(height);

    ByteWriter w(out, 0);
    w.U32BE(kJpegImageDescSize);
    w.U32BE(kCodecJpeg);
    w.Zeros(20);  // reserved, data reference index, version, revision, vendor, temporal quality
    w.U32BE(kSpatialQuality);
    w.U16BE(static_cast<uint16_t>(width));
    w.U16BE(static_cast<uint16_t>(height));
    w.U32BE(kResolution72);
    w.U32BE(kResolution72);
    w.U32BE(dataSize);
    w.U16BE(0);  // frame count

    // The compressor name: length-prefixed, a NUL after it, the rest of the field zero.
    const size_t nameStart = w.position();
    w.U8(static_cast<uint8_t>(kCompressorName.size()));
    for (char c : kCompressorName)
        w.U8(static_cast<uint8_t>(c));
    w.Zeros(kNameFieldSize - (w.position() - nameStart));

    w.U16BE(static_cast<uint16_t>(depth == 16 ? 24 : depth));
    w.U16BE(0xFFFF);  // colour table id -1: none
    return w.ok() && w.position() == kJpegImageDescSize;
}
