// TGA files: an 18-byte header, the image id, the colour map, then the pixels, plain or in
// run-length packets (a count byte, bit 7 for a run of one pixel, else that many + 1 literal
// pixels; packets may go on into the next row). Rows run bottom up unless bit 5 of the
// descriptor is set; bit 4 stores each row right to left.
#include <algorithm>

#include "core/memory/ByteReader.h"
#include "vic32/dll/VicLib.h"

namespace {

constexpr size_t kTgaHeaderBytes = 18;

struct TgaLayout {
    int type = 0;             // 1 colour-mapped, 2 true colour, 3 grey
    bool runLength = false;
    int32_t width = 0;
    int32_t height = 0;
    int pixelBits = 0;
    bool topDown = false;
    bool rightToLeft = false;
    uint32_t mapFirst = 0;
    uint32_t mapLength = 0;
    int mapEntryBits = 0;
    std::span<const uint8_t> map;
    std::span<const uint8_t> data;
};

int BytesOf(int bits) { return (bits + 7) / 8; }

bool ReadLayout(std::span<const uint8_t> file, TgaLayout* out) {
    ByteReader in(file);
    const uint8_t idLength = in.U8();
    const uint8_t mapType = in.U8();
    const uint8_t imageType = in.U8();
    TgaLayout tga;
    tga.mapFirst = in.U16LE();
    tga.mapLength = in.U16LE();
    tga.mapEntryBits = in.U8();
    in.Skip(4);  // origin
    tga.width = in.U16LE();
    tga.height = in.U16LE();
    tga.pixelBits = in.U8();
    const uint8_t descriptor = in.U8();
    if (!in.ok() || mapType > 1)
        return false;
    tga.type = imageType & 7;
    tga.runLength = (imageType & 8) != 0;
    tga.topDown = (descriptor & 0x20) != 0;
    tga.rightToLeft = (descriptor & 0x10) != 0;
    if ((imageType & ~0x0B) != 0 || tga.type < 1 || tga.width < 1 || tga.height < 1 ||
        tga.width > VIC_MAX_DIMENSION || tga.height > VIC_MAX_DIMENSION)
        return false;
    switch (tga.type) {
    case 1:
        if (mapType != 1 || tga.pixelBits != 8 || tga.mapLength == 0 || tga.mapFirst + tga.mapLength > 256 ||
            (tga.mapEntryBits != 15 && tga.mapEntryBits != 16 && tga.mapEntryBits != 24 && tga.mapEntryBits != 32))
            return false;
        break;
    case 2:
        if (tga.pixelBits != 15 && tga.pixelBits != 16 && tga.pixelBits != 24 && tga.pixelBits != 32)
            return false;
        break;
    case 3:
        if (tga.pixelBits != 8)
            return false;
        break;
    default: return false;
    }
    in.Skip(idLength);
    if (mapType == 1) {
        const size_t mapBytes = size_t{tga.mapLength} * static_cast<size_t>(BytesOf(tga.mapEntryBits));
        tga.map = in.Bytes(mapBytes);
    }
    if (!in.ok())
        return false;
    tga.data = file.subspan(in.position());
    // Refused before any image is made for it: data that cannot hold the pixels (a packet of two
    // bytes or more gives at most 128).
    const uint64_t pixels = uint64_t{static_cast<uint32_t>(tga.width)} * static_cast<uint32_t>(tga.height);
    const uint64_t most = tga.runLength ? uint64_t{tga.data.size()} * 64 : tga.data.size() / static_cast<size_t>(BytesOf(tga.pixelBits));
    if (pixels > most)
        return false;
    *out = tga;
    return true;
}

// A 15/16-bit pixel (little-endian, x RRRRR GGGGG BBBBB), 24 or 32 bits (blue, green, red first).
VicColor ColorOf(const uint8_t* p, int bits) {
    if (bits <= 16) {
        const unsigned v = p[0] | p[1] << 8;
        const auto wide = [](unsigned five) { return static_cast<uint8_t>(five << 3 | five >> 2); };
        return VicColor{wide(v & 31), wide(v >> 5 & 31), wide(v >> 10 & 31), 0};
    }
    return VicColor{p[0], p[1], p[2], 0};
}

// The pixels of the file in stored order, one at a time, from plain or run-length data.
class PixelReader {
public:
    PixelReader(std::span<const uint8_t> data, int bytesPerPixel, bool runLength)
        : data_(data), size_(static_cast<size_t>(bytesPerPixel)), runLength_(runLength) {}
    const uint8_t* Next() {
        if (!runLength_)
            return Take();
        if (left_ == 0) {
            if (pos_ >= data_.size())
                return nullptr;
            const uint8_t lead = data_[pos_++];
            left_ = (lead & 0x7F) + 1u;
            repeat_ = (lead & 0x80) != 0;
            if (repeat_ && !(held_ = Take()))
                return nullptr;
        }
        --left_;
        return repeat_ ? held_ : Take();
    }

private:
    const uint8_t* Take() {
        if (size_ > data_.size() - pos_)
            return nullptr;
        const uint8_t* p = data_.data() + pos_;
        pos_ += size_;
        return p;
    }
    std::span<const uint8_t> data_;
    size_t size_;
    bool runLength_;
    size_t pos_ = 0;
    uint32_t left_ = 0;
    bool repeat_ = false;
    const uint8_t* held_ = nullptr;
};

void PutPixel(std::vector<uint8_t>& out, const uint8_t* pixel, size_t bytes) { out.insert(out.end(), pixel, pixel + bytes); }

// Run-length packets over one row's pixels of `bytes` bytes each.
void PutPackets(std::span<const uint8_t> row, size_t bytes, std::vector<uint8_t>& out) {
    const size_t count = row.size() / bytes;
    const auto same = [&](size_t a, size_t b) { return std::equal(&row[a * bytes], &row[a * bytes] + bytes, &row[b * bytes]); };
    for (size_t i = 0; i < count;) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run > 1) {
            out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
            PutPixel(out, &row[i * bytes], bytes);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < count && literal < 128 && !(i + literal + 1 < count && same(i + literal, i + literal + 1)))
            ++literal;
        out.push_back(static_cast<uint8_t>(literal - 1));
        out.insert(out.end(), &row[i * bytes], &row[i * bytes] + literal * bytes);
        i += literal;
    }
}

}  // namespace

int VicTgaInfo(std::span<const uint8_t> file, VicFileInfo* info) {
    if (!info)
        return VIC_BAD_ARGUMENT;
    TgaLayout tga;
    if (!ReadLayout(file, &tga))
        return VIC_BAD_FILE;
    const bool indexed = tga.type != 2;
    *info = VicFileInfo{tga.width, tga.height, indexed ? 8 : 24, tga.pixelBits,
                        tga.type == 1 ? static_cast<int32_t>(tga.mapFirst + tga.mapLength) : tga.type == 3 ? 256 : 0};
    return VIC_OK;
}

int VicTgaLoad(std::span<const uint8_t> file, VicImage* image) {
    TgaLayout tga;
    if (!ReadLayout(file, &tga))
        return VIC_BAD_FILE;
    const bool indexed = tga.type != 2;
    if (!VicImageIs(image, tga.width, tga.height, indexed ? 8 : 24))
        return VIC_BAD_SIZE;
    VicImage made{};
    const int allocated = allocimage(&made, tga.width, tga.height, indexed ? 8 : 24);
    if (allocated != VIC_OK)
        return allocated;
    PixelReader pixels(tga.data, BytesOf(tga.pixelBits), tga.runLength);
    for (int32_t stored = 0; stored < tga.height; ++stored) {
        uint8_t* row = VicRow(made, tga.topDown ? stored : tga.height - 1 - stored);
        for (int32_t i = 0; i < tga.width; ++i) {
            const uint8_t* p = pixels.Next();
            if (!p) {
                freeimage(&made);
                return VIC_BAD_FILE;
            }
            const size_t x = static_cast<size_t>(tga.rightToLeft ? tga.width - 1 - i : i);
            if (indexed) {
                row[x] = p[0];
            } else {
                const VicColor c = ColorOf(p, tga.pixelBits);
                row[x * 3] = c.blue;
                row[x * 3 + 1] = c.green;
                row[x * 3 + 2] = c.red;
            }
        }
    }
    if (tga.type == 1) {
        std::fill(made.palette, made.palette + made.paletteSlots, VicColor{});
        const int entryBytes = BytesOf(tga.mapEntryBits);
        for (uint32_t i = 0; i < tga.mapLength; ++i)
            made.palette[tga.mapFirst + i] = ColorOf(&tga.map[i * static_cast<size_t>(entryBytes)], tga.mapEntryBits);
        made.colors = static_cast<int32_t>(tga.mapFirst + tga.mapLength);
    }  // grey keeps the ramp allocimage made
    const int copied = VicCopyPixels(made, image);
    freeimage(&made);
    return copied;
}

int VicTgaEncode(const VicImage& image, bool runLength, std::vector<uint8_t>& out) {
    if (!VicImageOk(&image))
        return VIC_BAD_ARGUMENT;
    const bool indexed = image.bitsPerPixel == 8;
    out.assign(kTgaHeaderBytes, 0);
    out[1] = indexed ? 1 : 0;
    out[2] = static_cast<uint8_t>((indexed ? 1 : 2) | (runLength ? 8 : 0));
    if (indexed) {
        SetU16(out, 5, 256);
        out[7] = 24;
    }
    SetU16(out, 12, static_cast<uint16_t>(image.width));
    SetU16(out, 14, static_cast<uint16_t>(image.height));
    out[16] = indexed ? 8 : 24;
    out[17] = 0;  // bottom row first, as the image keeps them
    if (indexed) {
        for (int i = 0; i < 256; ++i) {
            const VicColor c = i < image.colors ? image.palette[i] : VicColor{};
            out.insert(out.end(), {c.blue, c.green, c.red});
        }
    }
    const size_t bytes = indexed ? 1 : 3;
    for (int32_t y = image.height - 1; y >= 0; --y) {
        const std::span<const uint8_t> row(VicRow(image, y), static_cast<size_t>(image.width) * bytes);
        if (runLength)
            PutPackets(row, bytes, out);
        else
            out.insert(out.end(), row.begin(), row.end());
    }
    return VIC_OK;
}
