// Pictures that travel with a card-size change: a graphic's picture and mask, and a freeform
// button's mask, stretched to the object's new rectangle.
#include <algorithm>
#include <utility>
#include <vector>

#include "core/memory/ByteReader.h"
#include "graphics/masks/PackedMask.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

// A rectangle scaled from a record's own sizes may reach 32767 either way: no stretch makes a
// picture or mask larger than a card can be, which no one would see and a hostile file would use
// to take seconds and a gigabyte. What does not fit keeps its own picture.
bool StretchFits(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxCardExtent && height <= kMaxCardExtent;
}

int Width(std::span<const uint8_t> object) { return GetI16(object, kObjectRect + 4) - GetI16(object, kObjectRect); }
int Height(std::span<const uint8_t> object) { return GetI16(object, kObjectRect + 6) - GetI16(object, kObjectRect + 2); }

uint32_t GetPixel(std::span<const uint8_t> row, int x, int depth) {
    if (depth == 4)
        return (row[size_t(x) / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    const size_t bytes = size_t(depth) / 8;
    uint32_t v = 0;
    for (size_t i = 0; i < bytes; ++i)
        v |= uint32_t{row[x * bytes + i]} << (8 * i);
    return v;
}

void SetPixel(std::span<uint8_t> row, int x, int depth, uint32_t v) {
    if (depth == 4) {
        uint8_t& b = row[size_t(x) / 2];
        b = x % 2 ? uint8_t((b & 0xF0) | (v & 0x0F)) : uint8_t((b & 0x0F) | (v << 4));
        return;
    }
    const size_t bytes = size_t(depth) / 8;
    for (size_t i = 0; i < bytes; ++i)
        row[x * bytes + i] = uint8_t(v >> (8 * i));
}

// The source column (or row) each of count target ones covers, stretching from size.
std::vector<int> Covered(int count, int size) {
    std::vector<int> from(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        from[size_t(i)] = int(int64_t{i} * size / count);
    return from;
}

// Each target pixel takes the source pixel it covers, as a stretch copying source pixels does.
// A target row that covers the same source row as the one above is a copy of it.
DibHandle StretchDib(DibHandle source, int width, int height) {
    if (!StretchFits(width, height))
        return 0;
    LockedDib from(source);
    if (!from)
        return 0;
    const int depth = from.layout().depth;
    const DibHandle target = NewDib(width, height, depth);
    LockedDib to(target);
    if (!to) {
        DisposeHandle(target);
        return 0;
    }
    const std::vector<int> columns = Covered(width, from.layout().width);
    const std::vector<int> rows = Covered(height, from.layout().height);
    const size_t bytes = size_t(depth) / 8;
    for (int y = 0; y < height; ++y) {
        const std::span<uint8_t> out = to.row(y);
        if (y > 0 && rows[size_t(y)] == rows[size_t(y) - 1]) {
            const std::span<uint8_t> above = to.row(y - 1);
            std::copy(above.begin(), above.end(), out.begin());
            continue;
        }
        const std::span<uint8_t> in = from.row(rows[size_t(y)]);
        if (depth == 4) {
            for (int x = 0; x < width; ++x)
                SetPixel(out, x, depth, GetPixel(in, columns[size_t(x)], depth));
            continue;
        }
        for (int x = 0; x < width; ++x)
            std::copy_n(in.begin() + ptrdiff_t(columns[size_t(x)] * bytes), bytes, out.begin() + ptrdiff_t(x * bytes));
    }
    return target;
}

// A PackedMask block stretched the same way; empty when it does not read.
std::vector<uint8_t> StretchMaskBlock(std::span<const uint8_t> block, int width, int height) {
    MaskBits mask;
    uint16_t first = 0, second = 0;
    if (!StretchFits(width, height) || ReadPackedMaskBits(block, &mask, &first, &second) != PackedMaskRefusal::None)
        return {};
    MaskBits stretched(width, height);
    if (stretched.empty())
        return {};
    const std::vector<int> columns = Covered(width, mask.width());
    const std::vector<int> rows = Covered(height, mask.height());
    for (int y = 0; y < height; ++y) {
        if (y > 0 && rows[size_t(y)] == rows[size_t(y) - 1]) {
            const std::span<const uint8_t> above = std::as_const(stretched).row(y - 1);
            std::copy(above.begin(), above.end(), stretched.row(y).begin());
            continue;
        }
        for (int x = 0; x < width; ++x)
            if (mask.Get(columns[size_t(x)], rows[size_t(y)]))
                stretched.Set(x, y);
    }
    return WritePackedMask(stretched, first, second);
}

bool StoreRecord(Handle card, const std::vector<uint8_t>& record) {
    return SetHandleBytes(card, record) == 0;
}

// The object at offset of a record, when it lies inside it.
std::span<const uint8_t> ObjectAt(const std::vector<uint8_t>& record, uint32_t offset, uint32_t minimum) {
    if (uint64_t{offset} + minimum > record.size())
        return {};
    const uint32_t length = GetU32(record, offset + kObjectLength);
    if (length < minimum || length > record.size() - offset)
        return {};
    return std::span(record).subspan(offset, length);
}

}  // namespace

void ResizeGraphicPicture(Handle card, uint32_t offset, int oldWidth, int oldHeight, int mode) {
    (void)oldWidth;
    (void)oldHeight;
    if (mode != 1)
        return;  // centred: the picture keeps its size
    std::vector<uint8_t> record = HandleToBytes(card);
    const std::span<const uint8_t> graphic = ObjectAt(record, offset, kGraphicHeaderBytes);
    if (graphic.empty() || (GetU16(graphic, kObjectFlags) & kObjectHasPath))
        return;
    GraphicPictureView view;
    if (ReadGraphicPicture(graphic, view) != GraphicPictureRefusal::None)
        return;
    const int width = Width(graphic), height = Height(graphic);
    if (width <= 0 || height <= 0 || (width == view.width && height == view.height))
        return;
    const DibHandle picture = GraphicPictureToDib(view);
    const DibHandle stretched = picture ? StretchDib(picture, width, height) : 0;
    DisposeHandle(picture);
    if (!stretched)
        return;
    std::vector<uint8_t> mask;
    if (!view.mask.empty())
        mask = StretchMaskBlock(view.mask, width, height);
    const std::vector<uint8_t> data = GraphicPictureData(stretched, mask);
    DisposeHandle(stretched);
    if (data.empty() || (!view.mask.empty() && mask.empty()))
        return;
    if (!ReplaceObjectBytes(record, offset, data, static_cast<uint32_t>(mask.size())))
        return;
    const int16_t left = GetI16(record, offset + kGraphicPictureRect);
    const int16_t top = GetI16(record, offset + kGraphicPictureRect + 2);
    SetU16(record, offset + kGraphicPictureRect + 4, static_cast<uint16_t>(left + width));
    SetU16(record, offset + kGraphicPictureRect + 6, static_cast<uint16_t>(top + height));
    SetU16(record, offset + kGraphicPictureFlags,
           static_cast<uint16_t>(GetU16(record, offset + kGraphicPictureFlags) | kGraphicRowsPacked));
    StoreRecord(card, record);
}

void ResizeButtonMask(Handle card, uint32_t offset, int oldWidth, int oldHeight, int mode) {
    (void)oldWidth;
    (void)oldHeight;
    if (mode != 1)
        return;  // moved with its button: the mask is the button's own
    std::vector<uint8_t> record = HandleToBytes(card);
    const std::span<const uint8_t> button = ObjectAt(record, offset, kButtonHeaderBytes);
    if (button.empty())
        return;
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk)) {
        if (chunk.kind != kTagButtonMask || chunk.length <= kChunkHeaderBytes)
            continue;
        const std::span<const uint8_t> payload =
            button.subspan(chunk.offset + kChunkHeaderBytes, chunk.length - kChunkHeaderBytes);
        std::vector<uint8_t> mask = StretchMaskBlock(payload, Width(button), Height(button));
        if (mask.empty())
            return;
        if (mask.size() % 2)
            mask.push_back(0);  // chunks keep an even length
        const uint32_t at = offset + chunk.offset;
        const int64_t growth = int64_t(kChunkHeaderBytes + mask.size()) - chunk.length;
        std::vector<uint8_t> rebuilt(record.begin(), record.begin() + at + kChunkHeaderBytes);
        rebuilt.insert(rebuilt.end(), mask.begin(), mask.end());
        rebuilt.insert(rebuilt.end(), record.begin() + at + chunk.length, record.end());
        SetU32(rebuilt, at + kObjectLength, static_cast<uint32_t>(kChunkHeaderBytes + mask.size()));
        SetU16(rebuilt, at + kObjectFlags, static_cast<uint16_t>(GetU16(rebuilt, at + kObjectFlags) & ~kObjectPadded));
        SetU32(rebuilt, offset + kObjectLength, static_cast<uint32_t>(int64_t(button.size()) + growth));
        SetU32(rebuilt, kCardLength, static_cast<uint32_t>(rebuilt.size()));
        StoreRecord(card, rebuilt);
        return;
    }
}
