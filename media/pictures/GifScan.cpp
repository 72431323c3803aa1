// The GIF block walk of the picture import: only sizes are followed, every one checked against
// what is left of the file.
#include "media/pictures/GifScan.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"

namespace {

constexpr size_t kGifHeaderBytes = 13;
constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kGifTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;

// A colour table follows when bit 7 of the packed byte is set: 3 x 2^(n + 1) bytes.
void SkipColorTable(ByteReader& in, uint8_t packed) {
    if (packed & 0x80)
        in.Skip(size_t{3} << ((packed & 7) + 1));
}

// Data sub-blocks, each led by its size, up to the empty one.
void SkipSubBlocks(ByteReader& in) {
    while (in.ok()) {
        const uint8_t size = in.U8();
        if (size == 0)
            return;
        in.Skip(size);
    }
}

// An image after its introducer: the descriptor, its colour table, the LZW code size and the
// data blocks. False when the descriptor is cut short.
bool SkipImage(ByteReader& in) {
    const std::span<const uint8_t> descriptor = in.Bytes(9);
    if (!in.ok())
        return false;
    SkipColorTable(in, descriptor[8]);
    in.U8();  // the LZW code size
    SkipSubBlocks(in);
    return true;
}

}  // namespace

bool IsGif89Header(std::span<const uint8_t> file) {
    return file.size() >= 5 && std::memcmp(file.data(), "GIF89", 5) == 0;
}

int GifTransparentIndex(std::span<const uint8_t> file) {
    if (file.size() < kGifHeaderBytes || std::memcmp(file.data(), "GIF", 3) != 0)
        return -1;
    ByteReader in(file, kGifHeaderBytes);
    SkipColorTable(in, file[10]);
    int found = -1;
    while (in.ok()) {
        const uint8_t introducer = in.U8();
        if (!in.ok())
            break;
        if (introducer == kGifTrailer)
            return found;
        if (introducer == kExtension) {
            const uint8_t label = in.U8();
            if (label == kGraphicControl) {
                // Block size, packed byte, delay (2), transparent index; its terminator is skipped
                // below as a stray byte.
                const std::span<const uint8_t> control = in.Bytes(5);
                if (in.ok() && (control[1] & 1) && found < 0)
                    found = control[4];
            } else {
                SkipSubBlocks(in);
            }
        } else if (introducer == kImage) {
            if (!SkipImage(in))
                break;
        }
        // Any other byte is skipped.
    }
    return -1;  // ran out before the trailer
}

bool GifColorTableEntry(std::span<const uint8_t> file, int index, uint8_t rgb[3]) {
    if (index < 0 || index > 255 || file.size() < kGifHeaderBytes || std::memcmp(file.data(), "GIF", 3) != 0)
        return false;
    ByteReader in(file, kGifHeaderBytes);
    uint8_t packed = file[10];
    if (!(packed & 0x80)) {
        // No global table: the first image's local one, past any extensions before it.
        SkipColorTable(in, packed);
        for (;;) {
            const uint8_t introducer = in.U8();
            if (!in.ok() || introducer == kGifTrailer)
                return false;
            if (introducer == kExtension) {
                in.U8();
                SkipSubBlocks(in);
            } else if (introducer == kImage) {
                const std::span<const uint8_t> descriptor = in.Bytes(9);
                if (!in.ok())
                    return false;
                packed = descriptor[8];
                break;
            }
        }
    }
    const int entries = (packed & 0x80) ? 1 << ((packed & 7) + 1) : 0;
    if (index >= entries)
        return false;
    in.Skip(size_t(3) * index);
    const std::span<const uint8_t> entry = in.Bytes(3);
    if (!in.ok())
        return false;
    std::copy(entry.begin(), entry.end(), rgb);
    return true;
}

int GifImageCount(std::span<const uint8_t> file, int limit) {
    if (file.size() < kGifHeaderBytes || std::memcmp(file.data(), "GIF", 3) != 0)
        return 0;
    ByteReader in(file, kGifHeaderBytes);
    SkipColorTable(in, file[10]);
    int images = 0;
    while (in.ok() && images < limit) {
        const uint8_t introducer = in.U8();
        if (!in.ok() || introducer == kGifTrailer)
            break;
        if (introducer == kExtension) {
            in.U8();
            SkipSubBlocks(in);
        } else if (introducer == kImage) {
            if (!SkipImage(in))
                break;
            if (in.ok())
                ++images;
        }
    }
    return images;
}
