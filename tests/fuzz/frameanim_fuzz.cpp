// Arbitrary bytes as a frame animation in file order: turned to memory order as the stack reader
// turns it (the header's words, then each frame head that fits), then every frame decoded in
// turn over one picture, the pixels re-mapped and frame 1 packed back. Frame 1 packs back to its
// own rows, and the re-map leaves the header, frame 1 and the size alone.
#include <array>
#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/pictures/FrameAnimFrames.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

void ToMemoryOrder(std::vector<uint8_t>& a) {
    if (a.size() < kFrameAnimHeaderBytes)
        return;
    for (uint32_t at = 0; at < kFrameAnimFlags + 2; at += 2)
        SetU16(a, at, GetBE16(a, at));
    const int count = static_cast<int16_t>(GetU16(a, kFrameAnimCount));
    size_t frame = kFrameAnimHeaderBytes;
    for (int n = 0; n < count && a.size() - frame >= kFrameAnimFrameHeadBytes; ++n) {
        const uint32_t length = GetBE32(a, frame + kFrameLength);
        SetU16(a, frame, GetBE16(a, frame));
        SetU32(a, frame + kFrameLength, length);
        if (length < kFrameAnimFrameHeadBytes || length > a.size() - frame)
            break;
        frame += length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    std::vector<uint8_t> animation(data, data + size);
    ToMemoryOrder(animation);
    FrameAnimHeader header;
    if (CheckFrameAnim(animation, &header) != FrameAnimRefusal::None)
        return 0;
    // Frame 1's rows lie inside the input, so the picture is at most about twice its size.
    std::vector<uint8_t> picture(size_t{header.pictureRowBytes} * header.height);
    FuzzCheck(picture.size() <= 2 * size + 4 * size_t(header.height));
    FuzzCheck(DecodeAnimFrame(animation, 1, header, picture));
    AnimFramePlace first;
    FuzzCheck(FindAnimFrame(animation, 1, &first));
    const std::span<const uint8_t> rows = AnimFrameData(animation, first).first(size_t{header.storedRowBytes} * header.height);
    const std::vector<uint8_t> packed = PackFirstAnimFrame(picture, header);
    FuzzCheck(std::equal(packed.begin(), packed.end(), rows.begin(), rows.end()));
    for (int n = 2; n <= header.frameCount; ++n)
        if (!DecodeAnimFrame(animation, n, header, picture))
            break;
    std::array<uint8_t, 256> map;
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::vector<uint8_t> before = animation;
    RemapAnimFramePixels(animation, header, map);
    FuzzCheck(animation.size() == before.size());
    FuzzCheck(std::equal(before.begin(), before.begin() + first.offset + first.length, animation.begin()));
    RemapAnimPixelBytes(picture, header.depth, map);
    return 0;
}
