// AVI frames into the stand-in's pictures, sized from what was read: the stream's format as the
// file stores it and the frame's own bytes, or the frame a codec made for that format. A header
// never sizes more than was read: its colour count is capped at what the format carries.
#include "quicktime/dll/StandInMovies.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kInfoHeader = 40;
constexpr size_t kMasks = 12;  // the three masks after a 40-byte header with bit fields
constexpr uint32_t kRgb = 0, kBitFields = 3;
constexpr int64_t kMaxFrameSide = 16384;

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }

// The fields of a BITMAPINFOHEADER that size a frame.
struct FrameLayout {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // rows, whichever way they run
    uint16_t bits = 0;
    uint32_t compression = 0;
    uint32_t colours = 0;  // as claimed, capped at what the depth can index
    uint64_t rowBytes = 0;
};

// The header's layout, when it is one of uncompressed rows of a sensible size.
bool ReadLayout(std::span<const uint8_t> header, FrameLayout* l) {
    if (header.size() < kInfoHeader)
        return false;
    l->headerSize = Le32(header, 0);
    l->width = static_cast<int32_t>(Le32(header, 4));
    const int64_t height = static_cast<int32_t>(Le32(header, 8));
    l->height = height < 0 ? -height : height;
    l->bits = Le16(header, 14);
    l->compression = Le32(header, 16);
    if (l->headerSize < kInfoHeader || l->width <= 0 || l->width > kMaxFrameSide || l->height == 0 ||
        l->height > kMaxFrameSide)
        return false;
    const bool fields = l->compression == kBitFields && (l->bits == 16 || l->bits == 32);
    if (l->compression != kRgb && !fields)
        return false;
    if (l->bits != 1 && l->bits != 4 && l->bits != 8 && l->bits != 16 && l->bits != 24 && l->bits != 32)
        return false;
    if (l->bits <= 8) {
        const uint32_t most = 1u << l->bits, claimed = Le32(header, 32);
        l->colours = claimed == 0 || claimed > most ? most : claimed;
    }
    l->rowBytes = (uint64_t(l->width) * l->bits + 31) / 32 * 4;
    return true;
}

// Where the colours start: after the header, and after the masks that follow a 40-byte one.
uint64_t ColoursAt(const FrameLayout& l) {
    return l.headerSize + (l.compression == kBitFields && l.headerSize == kInfoHeader ? kMasks : 0);
}

}  // namespace

bool AviFrameImage(std::span<const uint8_t> format, std::span<const uint8_t> rows, StandInImage* out) {
    FrameLayout l;
    if (!ReadLayout(format, &l) || l.headerSize > format.size())
        return false;
    const uint64_t coloursAt = ColoursAt(l);
    if (coloursAt > format.size())
        return false;
    // A header may claim colours its format does not carry: only those carried are read, the
    // others are black.
    const uint32_t colours = l.colours;
    const uint64_t carried = std::min<uint64_t>(colours, (format.size() - coloursAt) / 4);
    const uint64_t rowsBytes = l.rowBytes * uint64_t(l.height);
    if (rowsBytes > rows.size())
        return false;
    // One packed DIB of what was read: a plain header, the masks, the colours, the rows.
    const bool fields = l.compression == kBitFields;
    std::vector<uint8_t> dib(kInfoHeader + (fields ? kMasks : 0) + size_t(colours) * 4 + size_t(rowsBytes));
    std::memcpy(dib.data(), format.data(), kInfoHeader);
    dib[0] = uint8_t(kInfoHeader);
    dib[1] = dib[2] = dib[3] = 0;
    for (int i = 0; i < 4; ++i)
        dib[32 + i] = uint8_t(colours >> (8 * i));
    size_t at = kInfoHeader;
    if (fields) {
        std::memcpy(dib.data() + at, format.data() + kInfoHeader, kMasks);  // inside a larger header too
        at += kMasks;
    }
    std::memcpy(dib.data() + at, format.data() + coloursAt, size_t(carried) * 4);
    at += size_t(colours) * 4;
    std::memcpy(dib.data() + at, rows.data(), size_t(rowsBytes));
    return StandInImageFromDib(dib, out);
}

size_t DecodedAviFrameBytes(std::span<const uint8_t> frameHeader, std::span<const uint8_t> format) {
    FrameLayout made;
    if (!ReadLayout(frameHeader, &made) || format.size() < kInfoHeader)
        return 0;
    // The stream's own size, whatever its coding.
    const int64_t width = static_cast<int32_t>(Le32(format, 4)), height = static_cast<int32_t>(Le32(format, 8));
    if (made.width != width || made.height != (height < 0 ? -height : height) || made.headerSize > 1024)
        return 0;
    const uint64_t size = ColoursAt(made) + uint64_t(made.colours) * 4 + made.rowBytes * uint64_t(made.height);
    return size <= SIZE_MAX ? size_t(size) : 0;
}
