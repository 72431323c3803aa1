#include "media/support/Metafile.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

constexpr size_t kEnhancedSignatureAt = 40;
constexpr size_t kMetaHeaderSizeAt = 2;  // in words
constexpr size_t kMetaWordCountAt = 6;
constexpr int kDotsPerInch = 96;

// The Windows metafile whose header starts at `at`: its size in bytes, or 0 when its header
// is no metafile header or its word count does not fit between the header and the file's end.
size_t WindowsMetafileBytes(std::span<const uint8_t> file, size_t at) {
    if (file.size() < at || file.size() - at < kWindowsMetaHeaderBytes)
        return 0;
    if (GetU16(file, at + kMetaHeaderSizeAt) != kWindowsMetaHeaderWords)
        return 0;
    const uint64_t bytes = uint64_t{GetU32(file, at + kMetaWordCountAt)} * 2;
    if (bytes < kWindowsMetaHeaderBytes || bytes > file.size() - at)
        return 0;
    return static_cast<size_t>(bytes);
}

int SideFor(int units, uint16_t unitsPerInch, int limit) {
    int side = static_cast<int>(static_cast<double>(units) / unitsPerInch * kDotsPerInch + 0.5);
    if (side & 1)
        ++side;
    side = std::max(side, kMetafileMinSide);
    return std::min(side, limit);
}

}  // namespace

MetafileLayout ReadMetafileLayout(std::span<const uint8_t> file) {
    MetafileLayout layout;
    if (file.size() >= kEnhancedSignatureAt + 4 && GetU32(file, kEnhancedSignatureAt) == kEnhancedMetafileSignature) {
        layout.kind = MetafileKind::Enhanced;
        return layout;
    }
    if (file.size() >= 4 && GetU32(file, 0) == kPlaceableMetafileKey) {
        if (file.size() < kPlaceableHeaderBytes)
            return layout;
        const int16_t left = GetI16(file, 6), top = GetI16(file, 8), right = GetI16(file, 10), bottom = GetI16(file, 12);
        const size_t bytes = WindowsMetafileBytes(file, kPlaceableHeaderBytes);
        if (bytes == 0 || right <= left || bottom <= top)
            return layout;
        layout = {MetafileKind::Placeable, left, top, right, bottom, GetU16(file, 14), kPlaceableHeaderBytes, bytes};
        if (layout.unitsPerInch == 0)
            layout.unitsPerInch = 1;
        return layout;
    }
    const size_t bytes = WindowsMetafileBytes(file, 0);
    if (bytes == 0)
        return layout;
    return {MetafileKind::Windows, 0, 0, kUnplacedMetafileBox, kUnplacedMetafileBox, 1, 0, bytes};
}

MetafileSize MetafileBitmapSize(const MetafileLayout& layout, int limitWidth, int limitHeight) {
    return {SideFor(layout.right - layout.left, layout.unitsPerInch, limitWidth),
            SideFor(layout.bottom - layout.top, layout.unitsPerInch, limitHeight)};
}
