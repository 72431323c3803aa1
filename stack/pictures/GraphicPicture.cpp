// A graphic object's stored picture: checked view, DIB and packed data.
#include "stack/pictures/GraphicPicture.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/LzrwRows.h"
#include "stack/format/StackFile.h"

namespace {

// LZRW1 gives at most about 9 bytes of row for one stored byte; more cannot come out of them.
constexpr uint64_t kLzrwMaxGrowth = 9;
constexpr uint64_t kMaxGraphicImageBytes = uint64_t{1} << 26;

bool IsGraphicDepth(int depth) {
    return depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

}  // namespace

const char* GraphicPictureRefusalText(GraphicPictureRefusal refusal) {
    switch (refusal) {
    case GraphicPictureRefusal::None: return "none";
    case GraphicPictureRefusal::NotGraphic: return "not a graphic record";
    case GraphicPictureRefusal::InFile: return "picture kept in a file";
    case GraphicPictureRefusal::BadSize: return "picture size out of range";
    case GraphicPictureRefusal::BadDepth: return "picture depth not 4, 8, 16, 24 or 32";
    case GraphicPictureRefusal::BadLengths: return "record, mask and pad lengths disagree";
    case GraphicPictureRefusal::RowsTooShort: return "rows too short for the picture";
    }
    return "?";
}

GraphicPictureRefusal ReadGraphicPicture(std::span<const uint8_t> graphic, GraphicPictureView& out) {
    out = GraphicPictureView{};
    if (graphic.size() < kGraphicHeaderBytes || GetU16(graphic, kObjectKind) != kObjectGraphic)
        return GraphicPictureRefusal::NotGraphic;
    const uint16_t flags22 = GetU16(graphic, kObjectFlags);
    if (flags22 & kObjectHasPath)
        return GraphicPictureRefusal::InFile;
    const int width = GetI16(graphic, kGraphicPictureRect + 4) - GetI16(graphic, kGraphicPictureRect);
    const int height = GetI16(graphic, kGraphicPictureRect + 6) - GetI16(graphic, kGraphicPictureRect + 2);
    if (width < 1 || height < 1 || width > kDibMaxDimension || height > kDibMaxDimension)
        return GraphicPictureRefusal::BadSize;
    const int depth = GetU16(graphic, kGraphicPictureDepth);
    if (!IsGraphicDepth(depth))
        return GraphicPictureRefusal::BadDepth;

    const uint64_t length = GetU32(graphic, kObjectLength);
    const uint64_t pad = (flags22 & kObjectPadded) ? 1 : 0;
    const uint64_t maskLength = GetU32(graphic, kGraphicTrailerLength);
    const uint64_t after = GetU32(graphic, kGraphicAfterMask);
    if (length > graphic.size() || length < kGraphicHeaderBytes + pad + after + maskLength)
        return GraphicPictureRefusal::BadLengths;
    const uint64_t rowsEnd = length - pad - after - maskLength;
    const uint16_t flags28 = GetU16(graphic, kGraphicPictureFlags);

    GraphicPictureView v;
    v.width = width;
    v.height = height;
    v.depth = depth;
    v.packedRows = (flags28 & kGraphicRowsPacked) != 0;
    v.rows = graphic.subspan(kGraphicHeaderBytes, rowsEnd - kGraphicHeaderBytes);
    if ((flags28 & kGraphicHasMask) && maskLength > 0)
        v.mask = graphic.subspan(rowsEnd, maskLength);

    const uint64_t macRow = static_cast<uint64_t>(MacRowBytes(depth, width));
    const uint64_t image = macRow * static_cast<uint64_t>(height);
    if (image > kMaxGraphicImageBytes)
        return GraphicPictureRefusal::BadSize;
    const bool fits = v.packedRows ? macRow <= kMaxLzrwMacRowBytes && v.rows.size() >= 4ull * height &&
                                         image <= kLzrwMaxGrowth * v.rows.size()
                                   : v.rows.size() >= image;
    if (!fits)
        return GraphicPictureRefusal::RowsTooShort;
    out = v;
    return GraphicPictureRefusal::None;
}

DibHandle GraphicPictureToDib(const GraphicPictureView& view) {
    DibHandle dib = NewDib(view.width, view.height, view.depth);
    if (!dib)
        return 0;
    bool ok = false;
    if (view.packedRows) {
        ok = UnpackLzrwDibRows(dib, view.rows);
    } else if (LockedDib locked(dib); locked) {
        const size_t macRow = static_cast<size_t>(MacRowBytes(view.depth, view.width));
        const size_t keep = std::min<size_t>(macRow, locked.layout().rowBytes);
        for (int y = 0; y < view.height; ++y) {
            const auto source = view.rows.subspan(static_cast<size_t>(y) * macRow, keep);
            std::copy(source.begin(), source.end(), locked.row(y).begin());
        }
        ok = true;
    }
    if (!ok)
        DisposeHandleAndClear(&dib);
    return dib;
}

std::vector<uint8_t> GraphicPictureData(DibHandle dib, std::span<const uint8_t> mask) {
    const Handle packed = PackLzrwDibRows(dib);
    if (!packed)
        return {};
    std::vector<uint8_t> data = HandleToBytes(packed);
    DisposeHandle(packed);
    data.insert(data.end(), mask.begin(), mask.end());
    return data;
}
