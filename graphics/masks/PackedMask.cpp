// The PackedMask block layout and its checks.
#include "graphics/masks/PackedMask.h"

#include <iterator>
#include <utility>

#include "core/memory/ByteReader.h"

uint32_t PackedMaskBytes(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaskMaxDimension || height > kMaskMaxDimension)
        return 0;
    // At most 4096 x 32767 bytes of rows: well inside 32 bits.
    return kPackedMaskHeaderBytes + MaskRowBytes(width) * static_cast<uint32_t>(height) + kPackedMaskSpareBytes;
}

std::vector<uint8_t> WritePackedMask(const MaskBits& mask, uint16_t first, uint16_t second) {
    std::vector<uint8_t> block;
    if (mask.empty())
        return block;
    block.reserve(PackedMaskBytes(mask.width(), mask.height()));
    ByteWriter out(block);
    out.U16LE(static_cast<uint16_t>(mask.width()));
    out.U16LE(static_cast<uint16_t>(mask.height()));
    out.U16LE(first);
    out.U16LE(second);
    out.Zeros(16);
    out.Bytes(mask.bytes());
    out.Zeros(kPackedMaskSpareBytes);
    return block;
}

const char* PackedMaskRefusalText(PackedMaskRefusal refusal) {
    // In the order of PackedMaskRefusal.
    static constexpr const char* kTexts[] = {
        "accepted",
        "block shorter than the 24-byte header",
        "width or height 0",
        "width or height above 32767",
        "block shorter than the rows its size calls for",
        "no bitmap could be made of the mask",
    };
    const auto index = static_cast<size_t>(refusal);
    return index < std::size(kTexts) ? kTexts[index] : "unknown";
}

PackedMaskRefusal ReadPackedMask(std::span<const uint8_t> block, PackedMaskView* view) {
    *view = {};
    ByteReader in(block);
    const int width = in.U16LE();
    const int height = in.U16LE();
    const uint16_t first = in.U16LE();
    const uint16_t second = in.U16LE();
    in.Skip(16);
    if (!in.ok())
        return PackedMaskRefusal::ShortHeader;
    if (width == 0 || height == 0)
        return PackedMaskRefusal::ZeroSize;
    if (width > kMaskMaxDimension || height > kMaskMaxDimension)
        return PackedMaskRefusal::TooLarge;
    const uint64_t rowBytes = uint64_t{MaskRowBytes(width)} * static_cast<uint64_t>(height);
    if (rowBytes > in.remaining())
        return PackedMaskRefusal::ShortRows;
    *view = {width, height, first, second, in.Bytes(static_cast<size_t>(rowBytes))};
    return PackedMaskRefusal::None;
}

PackedMaskRefusal ReadPackedMaskBits(std::span<const uint8_t> block, MaskBits* mask, uint16_t* first, uint16_t* second) {
    PackedMaskView view;
    const PackedMaskRefusal refusal = ReadPackedMask(block, &view);
    if (refusal != PackedMaskRefusal::None)
        return refusal;
    MaskBits bits(view.width, view.height);
    MaskBitsFromRows(view.rows, MaskRowBytes(view.width), true, true, &bits);
    *mask = std::move(bits);
    *first = view.first;
    *second = view.second;
    return PackedMaskRefusal::None;
}
