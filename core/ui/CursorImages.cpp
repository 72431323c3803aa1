// Icon-directory images and 'Crsr' data: checked reads, the file-order swap, the 16 by 16 still.
#include "core/ui/CursorImages.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int kStillSize = 16;

uint32_t RowBytes(int bits, int width) { return static_cast<uint32_t>((bits * width + 31) / 32 * 4); }

bool ValidDepth(int bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

uint32_t PixelAt(std::span<const uint8_t> row, int bits, int x) {
    switch (bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case 8: return row[x];
    case 16: return GetU16(row, size_t(x) * 2);
    case 24: return row[x * 3] | row[x * 3 + 1] << 8 | uint32_t{row[x * 3 + 2]} << 16;
    default: return GetU32(row, size_t(x) * 4);
    }
}

void SetPixel(std::span<uint8_t> row, int bits, int x, uint32_t v) {
    switch (bits) {
    case 1: row[x / 8] = static_cast<uint8_t>((row[x / 8] & ~(0x80 >> x % 8)) | (v & 1) << (7 - x % 8)); break;
    case 4: row[x / 2] = static_cast<uint8_t>(x % 2 ? (row[x / 2] & 0xF0) | (v & 15) : (row[x / 2] & 15) | (v & 15) << 4); break;
    case 8: row[x] = static_cast<uint8_t>(v); break;
    case 16: SetU16(row, size_t(x) * 2, static_cast<uint16_t>(v)); break;
    case 24:
        row[x * 3] = static_cast<uint8_t>(v);
        row[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
        break;
    default: SetU32(row, size_t(x) * 4, v); break;
    }
}

// Rows are bottom-up: row y of the picture (top 0) is stored at height - 1 - y.
void Resample(std::span<const uint8_t> from, int bits, int width, int height, uint32_t fromRow, std::span<uint8_t> to,
              uint32_t toRow) {
    for (int y = 0; y < kStillSize; ++y)
        for (int x = 0; x < kStillSize; ++x) {
            const int sx = x * width / kStillSize, sy = y * height / kStillSize;
            const uint32_t v = PixelAt(from.subspan((height - 1 - sy) * size_t{fromRow}, fromRow), bits, sx);
            SetPixel(to.subspan((kStillSize - 1 - y) * size_t{toRow}, toRow), bits, x, v);
        }
}

// Reads the 'Crsr' fields in the order given (file: big-endian).
uint16_t Get16(std::span<const uint8_t> d, size_t at, bool big) { return big ? GetBE16(d, at) : GetU16(d, at); }
uint32_t Get32(std::span<const uint8_t> d, size_t at, bool big) { return big ? GetBE32(d, at) : GetU32(d, at); }

bool ReadCursor(std::span<const uint8_t> data, bool bigEndian, CursorResource* cursor) {
    *cursor = {};
    if (data.size() < kCursorHeaderBytes)
        return false;
    const uint16_t kind = Get16(data, 0, bigEndian);
    const uint32_t length = std::min<uint32_t>(Get32(data, 2, bigEndian), static_cast<uint32_t>(data.size() - kCursorHeaderBytes));
    const std::span<const uint8_t> body = data.subspan(kCursorHeaderBytes, length);
    cursor->kind = kind;
    if (kind == kCursorStill) {
        IconImage image;
        cursor->still = body;
        return ReadIconImage(body, 0, &image);
    }
    if (kind != kCursorAnimated || body.size() < kAnimHeaderFields * 4)
        return false;
    for (uint32_t i = 0; i < kAnimHeaderFields; ++i)
        cursor->header[i] = Get32(body, i * 4, bigEndian);
    const uint64_t n = cursor->header[2];
    const uint64_t tables = kAnimHeaderFields * 4 + n * 12;
    if (n == 0 || tables > body.size())
        return false;
    size_t at = kAnimHeaderFields * 4;
    for (uint64_t i = 0; i < n; ++i, at += 4)
        cursor->rates.push_back(std::max<uint32_t>(Get32(body, at, bigEndian), 1));
    for (uint64_t i = 0; i < n; ++i, at += 4) {
        const uint32_t step = Get32(body, at, bigEndian);
        if (step >= n)
            return false;
        cursor->sequence.push_back(step);
    }
    size_t frame = tables;
    for (uint64_t i = 0; i < n; ++i, at += 4) {
        const uint32_t size = Get32(body, at, bigEndian);
        if (size > body.size() - frame)
            return false;
        cursor->frames.push_back(body.subspan(frame, size));
        IconImage image;
        if (!ReadIconImage(cursor->frames.back(), 0, &image))
            return false;
        frame += size;
    }
    return true;
}

// The 'Crsr' data converted into out (to file order or to memory order); false when it is no
// still or animated cursor that fits.
bool Converted(std::span<const uint8_t> d, bool toFile, std::vector<uint8_t>* out) {
    CursorResource cursor;
    if (!ReadCursor(d, !toFile, &cursor))
        return false;
    out->assign(d.begin(), d.end());
    std::span<uint8_t> c(*out);
    SwapField16(c, 0);
    SwapField32(c, 2);
    auto exchange = [&](std::span<const uint8_t> image) {
        return ExchangeBlackAndWhite(c.subspan(static_cast<size_t>(image.data() - d.data()), image.size()));
    };
    if (cursor.kind == kCursorStill)
        return exchange(cursor.still);
    const size_t fields = kAnimHeaderFields + 3 * cursor.rates.size();
    for (size_t i = 0; i < fields; ++i)
        SwapField32(c, kCursorHeaderBytes + i * 4);
    for (const auto& frame : cursor.frames)
        if (!exchange(frame))
            return false;
    return true;
}

}  // namespace

uint16_t IconImageCount(std::span<const uint8_t> data) { return data.size() < kIconDirHeaderBytes ? 0 : GetU16(data, 4); }

bool ReadIconImage(std::span<const uint8_t> data, int index, IconImage* image) {
    const uint16_t count = IconImageCount(data);
    if (count == 0 || kIconDirHeaderBytes + size_t{count} * kIconDirEntryBytes > data.size())
        return false;
    if (index < 0 || index >= count)
        index = 0;
    const size_t entry = kIconDirHeaderBytes + size_t(index) * kIconDirEntryBytes;
    if (entry + kIconDirEntryBytes > data.size())
        return false;
    IconImage i;
    i.hotX = GetU16(data, entry + 4);
    i.hotY = GetU16(data, entry + 6);
    i.offset = GetU32(data, entry + 12);
    if (i.offset > data.size() || data.size() - i.offset < kInfoHeaderBytes)
        return false;
    const std::span<const uint8_t> info = data.subspan(i.offset);
    const int32_t width = static_cast<int32_t>(GetU32(info, 4)), stored = static_cast<int32_t>(GetU32(info, 8));
    const int entryHeight = data[entry + 1] ? data[entry + 1] : 256;
    i.width = width;
    // The header holds twice the height (colour rows and mask); some writers give it once.
    i.height = stored == entryHeight ? stored : stored / 2;
    i.bitCount = GetU16(info, 14);
    if (width <= 0 || width > 256 || i.height <= 0 || i.height > 256 || !ValidDepth(i.bitCount))
        return false;
    const uint32_t used = GetU32(info, 32);
    i.colorCount = i.bitCount <= 8 ? (used && used < (1u << i.bitCount) ? used : 1u << i.bitCount) : 0;
    const uint32_t headerSize = std::max<uint32_t>(GetU32(info, 0), kInfoHeaderBytes);
    i.xorRowBytes = RowBytes(i.bitCount, width);
    i.andRowBytes = RowBytes(1, width);
    const uint64_t colors = uint64_t{i.offset} + std::min<uint32_t>(headerSize, 1024);
    const uint64_t xorAt = colors + uint64_t{i.colorCount} * 4;
    const uint64_t andAt = xorAt + uint64_t{i.xorRowBytes} * i.height;
    if (andAt + uint64_t{i.andRowBytes} * i.height > data.size())
        return false;
    i.colorsOffset = static_cast<uint32_t>(colors);
    i.xorOffset = static_cast<uint32_t>(xorAt);
    i.andOffset = static_cast<uint32_t>(andAt);
    *image = i;
    return true;
}

uint32_t IconDataSize(std::span<const uint8_t> data) {
    IconImage image;
    if (data.size() < 7 || !ReadIconImage(data, 0, &image))
        return 0;
    return static_cast<uint32_t>(image.width) | static_cast<uint32_t>(image.height) << 16;
}

bool ExchangeBlackAndWhite(std::span<uint8_t> data) {
    const uint16_t count = IconImageCount(data);
    std::vector<IconImage> images(count);
    for (uint16_t n = 0; n < count; ++n)
        if (!ReadIconImage(data, n, &images[n]))
            return false;
    for (const IconImage& image : images)
        for (uint32_t c = 0; c < image.colorCount; ++c) {
            uint8_t* e = data.data() + image.colorsOffset + c * 4;
            const bool black = !e[0] && !e[1] && !e[2], white = e[0] == 255 && e[1] == 255 && e[2] == 255;
            if (black || white)
                e[0] = e[1] = e[2] = black ? 255 : 0;
        }
    return true;
}

bool ReadCursorResource(std::span<const uint8_t> data, CursorResource* cursor) {
    return ReadCursor(data, false, cursor);
}

int SwapCursorResourceData(uint8_t* data, uint32_t size, int toFile) {
    if (!data)
        return 0;
    const std::span<const uint8_t> d(data, size);
    // Kinds other than still and animated are left as they are.
    const uint16_t kind = d.size() < 2 ? 0 : toFile == 0 ? GetBE16(d, 0) : GetU16(d, 0);
    if (kind != kCursorStill && kind != kCursorAnimated)
        return 1;
    // Only a conversion that the other direction undoes is made (a colour table lying over another
    // image's header would not come back). What was refused on the way in goes out as it is.
    std::vector<uint8_t> converted, back;
    if (!Converted(d, toFile != 0, &converted) || !Converted(converted, toFile == 0, &back) ||
        !std::equal(back.begin(), back.end(), d.begin(), d.end()))
        return toFile ? 1 : 0;
    std::copy(converted.begin(), converted.end(), data);
    return 1;
}

std::vector<uint8_t> MakeStillCursorData(std::span<const uint8_t> file) {
    IconImage image;
    if (!ReadIconImage(file, 0, &image))
        return {};
    std::vector<uint8_t> image16;
    if (image.width == kStillSize && image.height == kStillSize && IconImageCount(file) == 1) {
        image16.assign(file.begin(), file.end());
    } else {
        const uint32_t xorRow = RowBytes(image.bitCount, kStillSize), andRow = RowBytes(1, kStillSize);
        const uint32_t imageOffset = kIconDirHeaderBytes + kIconDirEntryBytes;
        image16.assign(imageOffset + kInfoHeaderBytes + image.colorCount * 4 + (xorRow + andRow) * kStillSize, 0);
        std::span<uint8_t> out(image16);
        SetU16(out, 2, 2);  // a cursor file
        SetU16(out, 4, 1);
        out[6] = out[7] = kStillSize;
        out[8] = static_cast<uint8_t>(image.colorCount < 256 ? image.colorCount : 0);
        SetU16(out, 10, static_cast<uint16_t>(image.hotX * kStillSize / image.width));
        SetU16(out, 12, static_cast<uint16_t>(image.hotY * kStillSize / image.height));
        SetU32(out, 14, static_cast<uint32_t>(out.size() - imageOffset));
        SetU32(out, 18, imageOffset);
        std::span<uint8_t> info = out.subspan(imageOffset);
        SetU32(info, 0, kInfoHeaderBytes);
        SetU32(info, 4, kStillSize);
        SetU32(info, 8, 2 * kStillSize);
        SetU16(info, 12, 1);
        SetU16(info, 14, static_cast<uint16_t>(image.bitCount));
        SetU32(info, 20, (xorRow + andRow) * kStillSize);
        SetU32(info, 32, image.bitCount <= 8 ? image.colorCount : 0);
        const uint32_t colors = imageOffset + kInfoHeaderBytes;
        std::copy_n(file.begin() + image.colorsOffset, image.colorCount * 4, out.begin() + colors);
        const uint32_t xorAt = colors + image.colorCount * 4, andAt = xorAt + xorRow * kStillSize;
        Resample(file.subspan(image.xorOffset), image.bitCount, image.width, image.height, image.xorRowBytes,
                 out.subspan(xorAt), xorRow);
        Resample(file.subspan(image.andOffset), 1, image.width, image.height, image.andRowBytes, out.subspan(andAt),
                 andRow);
    }
    std::vector<uint8_t> data(kCursorHeaderBytes);
    SetU16(data, 0, kCursorStill);
    SetU32(data, 2, static_cast<uint32_t>(image16.size()));
    data.insert(data.end(), image16.begin(), image16.end());
    return data;
}
