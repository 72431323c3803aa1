// A graphic object's stored picture: checked view, DIB and packed data.
#include "stack/pictures/GraphicPicture.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/Lzrw.h"
#include "graphics/pixels/LzrwRows.h"
#include "format/StackFile.h"

namespace {

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

namespace {

// Where the mask begins (the data's end) by the one rule; false when the lengths disagree.
bool GraphicDataEnd(std::span<const uint8_t> record, uint64_t* dataEnd, uint64_t* maskLength) {
    const uint64_t length = GetU32(record, kObjectLength);
    const uint64_t pad = (GetU16(record, kObjectFlags) & kObjectPadded) ? 1 : 0;
    *maskLength = GetU32(record, kGraphicTrailerLength);
    const uint64_t after = GetU32(record, kGraphicAfterMask);
    if (length > record.size() || length < kGraphicHeaderBytes + pad + after + *maskLength)
        return false;
    *dataEnd = length - pad - after - *maskLength;
    return true;
}

}  // namespace

bool ReadGraphicRecordLayout(std::span<const uint8_t> record, GraphicRecordLayout& out) {
    out = GraphicRecordLayout{};
    if (record.size() < kGraphicHeaderBytes || GetU16(record, kObjectKind) != kObjectGraphic)
        return false;
    uint64_t dataEnd = 0, maskLength = 0;
    if (!GraphicDataEnd(record, &dataEnd, &maskLength))
        return false;
    out.data = record.subspan(kGraphicHeaderBytes, dataEnd - kGraphicHeaderBytes);
    if ((GetU16(record, kGraphicPictureFlags) & kGraphicHasMask) && maskLength > 0)
        out.mask = record.subspan(dataEnd, maskLength);
    if (GetU16(record, kObjectFlags) & kObjectHasPath) {
        const auto nul = std::find(out.data.begin(), out.data.end(), uint8_t{0});
        if (nul != out.data.end())
            out.fileReference = std::string_view(reinterpret_cast<const char*>(out.data.data()),
                                                 static_cast<size_t>(nul - out.data.begin()));
    }
    return true;
}

std::vector<uint8_t> BuildGraphicRecord(std::span<const uint8_t> header, std::span<const uint8_t> data,
                                        std::span<const uint8_t> mask) {
    if (header.size() < kGraphicHeaderBytes)
        return {};
    const uint64_t dataBytes = data.size() + (mask.empty() ? 0 : (data.size() & 1));
    const uint64_t body = kGraphicHeaderBytes + dataBytes + mask.size();
    const uint64_t total = body + (body & 1);
    if (total > UINT32_MAX)
        return {};
    std::vector<uint8_t> record(header.begin(), header.begin() + kGraphicHeaderBytes);
    record.insert(record.end(), data.begin(), data.end());
    record.resize(kGraphicHeaderBytes + dataBytes, 0);
    record.insert(record.end(), mask.begin(), mask.end());
    record.resize(total, 0);
    uint16_t flags = GetU16(record, kObjectFlags) & static_cast<uint16_t>(~kObjectPadded);
    if (body & 1)
        flags |= kObjectPadded;
    SetU16(record, kObjectFlags, flags);
    uint16_t pictureFlags = GetU16(record, kGraphicPictureFlags) & static_cast<uint16_t>(~kGraphicHasMask);
    if (!mask.empty())
        pictureFlags |= kGraphicHasMask;
    SetU16(record, kGraphicPictureFlags, pictureFlags);
    SetU32(record, kObjectLength, static_cast<uint32_t>(total));
    SetU32(record, kGraphicTrailerLength, static_cast<uint32_t>(mask.size()));
    SetU32(record, kGraphicAfterMask, 0);
    return record;
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

    GraphicRecordLayout layout;
    if (!ReadGraphicRecordLayout(graphic, layout))
        return GraphicPictureRefusal::BadLengths;
    const uint16_t flags28 = GetU16(graphic, kGraphicPictureFlags);

    GraphicPictureView v;
    v.width = width;
    v.height = height;
    v.depth = depth;
    v.packedRows = (flags28 & kGraphicRowsPacked) != 0;
    v.rows = layout.data;
    v.mask = layout.mask;

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
    if (!mask.empty() && (data.size() & 1))
        data.push_back(0);
    data.insert(data.end(), mask.begin(), mask.end());
    return data;
}
