// Arbitrary bytes as an AVI frame the stand-in is handed: a 16-bit little-endian length, the
// stream's format of that length, then the frame's bytes. Stored rows make a picture of the
// format's size only from bytes that were read (a palette the header claims but the format does
// not carry is left out); a codec's frame is sized from its header for the stream's size, never
// past a 32-bit wrap, and read only when it is all there.
#include <algorithm>
#include <cstdlib>

#include "quicktime/dll/StandInMovies.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

int32_t Le32(std::span<const uint8_t> b, size_t at) {
    return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                uint32_t(b[at + 3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const std::span<const uint8_t> input(data, size);
    const size_t formatSize = std::min<size_t>(size - 2, size_t(data[0] | data[1] << 8));
    const std::span<const uint8_t> format = input.subspan(2, formatSize), frame = input.subspan(2 + formatSize);

    StandInImage stored;
    if (AviFrameImage(format, frame, &stored)) {
        FuzzCheck(stored.width == Le32(format, 4) && stored.height == std::abs(int64_t(Le32(format, 8))));
        FuzzCheck(stored.bgra.size() == size_t(stored.width) * size_t(stored.height) * 4);
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
