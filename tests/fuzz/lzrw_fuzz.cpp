// LZRW1 and packed pictures under libFuzzer: arbitrary bytes as a stream and as a packed picture
// (must be refused or decoded without writing outside the destination), and as input to a round
// trip (must come back unchanged, equal on a second run with a dirty work area).
#include "core/memory/Handles.h"
#include "graphics/pixels/Lzrw.h"
#include "stack/pictures/PackedPicture.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kMaxInput = 1 << 20;

// The first two bytes choose the destination size, no more than the stream could fill; exactly
// that much is allocated, so any write past it is caught. A stream that decodes leaves the rest
// of the destination alone.
void DecodeArbitrary(const uint8_t* data, size_t size) {
    if (size < 2)
        return;
    const size_t capacity = std::min((size_t{data[0]} << 8 | data[1]) * 4, static_cast<size_t>(kLzrwMaxGrowth) * size);
    std::vector<uint8_t> out(capacity, 0xA5);
    size_t length = 99;
    const bool ok = LzrwDecompress({data + 2, size - 2}, out, length);
    FuzzCheck(ok ? length <= capacity : length == 0);
    for (size_t i = length; ok && i < capacity; ++i)
        FuzzCheck(out[i] == 0xA5);

    std::vector<uint8_t> range(capacity);
    UnpackPictureRows({data + 2, size - 2}, range);
}

void RoundTrip(const uint8_t* data, size_t size) {
    static std::vector<uint8_t> work(kLzrwWorkAreaBytes + 3);
    std::vector<uint8_t> stream(LzrwCompressBound(size));
    size_t length = 0;
    FuzzCheck(LzrwCompress({work.data(), kLzrwWorkAreaBytes}, {data, size}, stream, length));
    FuzzCheck(length <= size + kLzrwHeaderBytes);
    stream.resize(length);

    std::vector<uint8_t> back(size);
    size_t backLength = 0;
    FuzzCheck(LzrwDecompress(stream, back, backLength));
    FuzzCheck(backLength == size && (size == 0 || std::memcmp(back.data(), data, size) == 0));

    // Same input, work area at another alignment and full of the previous table: same stream.
    std::vector<uint8_t> again(LzrwCompressBound(size));
    size_t againLength = 0;
    FuzzCheck(LzrwCompress({work.data() + 3, kLzrwWorkAreaBytes}, {data, size}, again, againLength));
    FuzzCheck(againLength == length && std::memcmp(again.data(), stream.data(), length) == 0);
}

void PictureRoundTrip(const uint8_t* data, size_t size) {
    static const bool ready = InitMemRefs();
    if (!ready || size == 0)
        return;
    const uint32_t rowBytes = 1 + data[0] % 64;
    const Handle h = PackPictureRows({data, size}, rowBytes, data[0] & 0x80);
    if (!h)
        return;
    {
        HandleLock lock(h);
        FuzzCheck(static_cast<bool>(lock));
        size_t range = 0;
        FuzzCheck(PackedPictureRange(size, rowBytes, data[0] & 0x80, range));
        std::vector<uint8_t> back(range);
        FuzzCheck(UnpackPictureRows(lock.bytes(), back));
        FuzzCheck(range == 0 || std::memcmp(back.data(), data, range) == 0);
    }
    DisposeHandle(h);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    DecodeArbitrary(data, size);
    RoundTrip(data, size);
    PictureRoundTrip(data, size);
    return 0;
}
