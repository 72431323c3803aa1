// Arbitrary bytes as an AVI frame the stand-in is handed: a 16-bit little-endian length, the
// stream's format of that length, then the frame's bytes. Stored rows make a picture of the
// format's size only from bytes that were read (a palette the header claims but the format does
// not carry is left out); a codec's frame is sized from its header for the stream's size, never
// past a 32-bit wrap, and read only when it is all there. With the length's top bit set, a frame
// shorter than its format needs is also tried repeated to that length, so that small inputs reach
// the sizes a server could send: up to 65,536 pixels it is decoded whole; a larger one (up to the
// 32 MiB of a 16384-pixel-square 1-bit frame) is handed one byte short and must be refused from
// its sizes alone. No frame passes 16 M pixels.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "quicktime/dll/StandInMovies.h"
#include "quicktime/formats/VideoFrames.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

int32_t Le32(std::span<const uint8_t> b, size_t at) {
    return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                uint32_t(b[at + 3]) << 24);
}

constexpr uint64_t kMostStretched = uint64_t(33) << 20;

// The rows the format's stored frame needs, from its header alone; 0 when it is not plausible.
uint64_t RowsNeeded(std::span<const uint8_t> format) {
    if (format.size() < 16)
        return 0;
    const int64_t width = Le32(format, 4), height = std::abs(int64_t(Le32(format, 8)));
    const uint16_t bits = uint16_t(format[14] | format[15] << 8);
    if (width <= 0 || width > 0x7FFF || height == 0 || height > 0x7FFF || bits == 0 || bits > 32)
        return 0;
    return uint64_t((width * bits + 31) / 32 * 4) * uint64_t(height);
}

// Stretched frames up to this many pixels are decoded whole; larger ones only have their sizes read.
constexpr int64_t kMostDecodedPixels = int64_t(1) << 16;

int64_t PixelsOf(std::span<const uint8_t> format) {
    return int64_t(Le32(format, 4)) * std::abs(int64_t(Le32(format, 8)));
}

void CheckStored(std::span<const uint8_t> format, std::span<const uint8_t> rows) {
    StandInImage stored;
    if (AviFrameImage(format, rows, &stored)) {
        FuzzCheck(stored.width == Le32(format, 4) && stored.height == std::abs(int64_t(Le32(format, 8))));
        FuzzCheck(stored.bgra.size() == size_t(stored.width) * size_t(stored.height) * 4);
        FuzzCheck(int64_t(stored.width) * stored.height <= kMaxVideoPixels);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const std::span<const uint8_t> input(data, size);
    const size_t formatSize = std::min<size_t>(size - 2, size_t(data[0] | (data[1] & 0x7F) << 8));
    const bool stretch = (data[1] & 0x80) != 0;
    const std::span<const uint8_t> format = input.subspan(2, formatSize), frame = input.subspan(2 + formatSize);

    CheckStored(format, frame);
    const uint64_t needed = RowsNeeded(format);
    if (stretch && !frame.empty() && needed > frame.size() && needed <= kMostStretched) {
        if (PixelsOf(format) <= kMostDecodedPixels) {
            // The frame, then what is there so far copied after it, doubling each time: a few
            // block copies, never a byte loop.
            std::vector<uint8_t> stretched(static_cast<size_t>(needed));
            std::copy(frame.begin(), frame.end(), stretched.begin());
            for (size_t filled = frame.size(); filled < stretched.size(); filled *= 2)
                std::copy_n(stretched.begin(), std::min(filled, stretched.size() - filled),
                            stretched.begin() + static_cast<std::ptrdiff_t>(filled));
            CheckStored(format, stretched);
        } else {
            // A larger frame is handed at its full size less one byte, which the stand-in must
            // refuse from the sizes alone: it reads none of the rows, so they are never filled
            // (the pages of a block never touched cost nothing).
            const std::unique_ptr<uint8_t[]> rows(new uint8_t[static_cast<size_t>(needed)]);
            StandInImage refused;
            FuzzCheck(!AviFrameImage(format, {rows.get(), static_cast<size_t>(needed - 1)}, &refused));
        }
    }

    const size_t made = DecodedAviFrameBytes(frame.first(std::min<size_t>(frame.size(), 40)), format);
    if (made != 0) {
        FuzzCheck(made >= 40);
        StandInImage decoded;
        if (made <= frame.size() && StandInImageFromDib(frame.first(made), &decoded))
            FuzzCheck(decoded.width == Le32(format, 4));
    }
    return 0;
}
