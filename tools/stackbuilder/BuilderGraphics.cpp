// Graphic objects for the builder: picture rows (raw or LZRW1 row records) and file references.
#include <algorithm>
#include <stdexcept>

#include "StackBuilder.h"
#include "graphics/pixels/Lzrw.h"

namespace stackbuilder {

namespace {

// A field written last over the record, replacing an earlier one at the same place.
void SetWord(Object& o, uint16_t offset, uint16_t value) {
    std::erase_if(o.words, [offset](const Word& w) { return w.offset == offset; });
    o.words.push_back({offset, value});
}

void PadToEven(std::vector<uint8_t>& b) {
    if (b.size() & 1)
        b.push_back(0);
}

// One row record: the flag byte, a zero, the record's whole length big-endian, the stream.
void AppendRowRecord(std::vector<uint8_t>& out, std::span<const uint8_t> row, bool stored, std::vector<uint8_t>& work) {
    std::vector<uint8_t> record(LzrwCompressBound(row.size()), 0);
    size_t length = 0;
    if (stored) {
        record[0] = kLzrwFlagStored;
        std::copy(row.begin(), row.end(), record.begin() + kLzrwHeaderBytes);
        length = kLzrwHeaderBytes + row.size();
    } else if (!LzrwCompress(work, row, record, length)) {
        throw std::runtime_error("stackbuilder: the row coder failed");
    }
    if (length > 32767)
        throw std::runtime_error("stackbuilder: a row record is longer than 32767 bytes");
    record[2] = static_cast<uint8_t>(length >> 8);
    record[3] = static_cast<uint8_t>(length);
    out.insert(out.end(), record.begin(), record.begin() + static_cast<std::ptrdiff_t>(length));
}

}  // namespace

std::vector<uint8_t> GraphicPictureData(const Picture& picture, GraphicRows rows) {
    const std::vector<uint8_t> mac = MacRows(picture);
    if (rows == GraphicRows::Raw) {
        std::vector<uint8_t> data = mac;
        PadToEven(data);
        return data;
    }
    const size_t rowBytes = MacRowBytes(picture.width, picture.depth);
    std::vector<uint8_t> work(kLzrwWorkAreaBytes), data;
    for (int y = 0; y < picture.height; ++y)
        AppendRowRecord(data, std::span<const uint8_t>(mac).subspan(rowBytes * static_cast<size_t>(y), rowBytes),
                        rows == GraphicRows::PackedStored, work);
    PadToEven(data);
    return data;
}

void SetGraphicPicture(Object& graphic, const Picture& picture, GraphicRows rows) {
    graphic.data = GraphicPictureData(picture, rows);
    graphic.trailer = false;
    // File order: top, left, bottom, right.
    SetWord(graphic, 30, 0);
    SetWord(graphic, 32, 0);
    SetWord(graphic, 34, static_cast<uint16_t>(picture.height));
    SetWord(graphic, 36, static_cast<uint16_t>(picture.width));
    SetWord(graphic, 54, static_cast<uint16_t>(picture.depth));
    SetWord(graphic, 28, rows == GraphicRows::Raw ? 0 : 0x10);
}

void SetGraphicFile(Object& graphic, std::string_view path, Rect crop) {
    const bool drive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    if (drive) {
        graphic.data.assign(path.begin(), path.end());
        graphic.data.push_back(0);
    } else {
        graphic.data = MacPath(path);
    }
    PadToEven(graphic.data);
    graphic.flags |= 0x40;
    graphic.trailer = false;
    SetWord(graphic, 18, static_cast<uint16_t>(crop.left));
    SetWord(graphic, 20, static_cast<uint16_t>(crop.top));
    SetWord(graphic, 30, 0);
    SetWord(graphic, 32, 0);
    SetWord(graphic, 34, static_cast<uint16_t>(crop.bottom - crop.top));
    SetWord(graphic, 36, static_cast<uint16_t>(crop.right - crop.left));
}

}  // namespace stackbuilder
