// Arbitrary bytes as PackBits-style run streams and LZRW1 row records, unpacked into a picture
// whose width, height and depth the first four bytes choose. The unpackers stay within the
// input and the picture (the sanitizers watch), and what they produced in a picture of up to
// 1 KiB packs and unpacks back to the same rows.
#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "graphics/pixels/LzrwRows.h"
#include "graphics/pixels/PackBits.h"

namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
constexpr size_t kMaxUnpacked = 1 << 20;
constexpr size_t kMaxRoundTrip = 1 << 10;

std::vector<uint8_t> Rows(Handle h) {
    HandleLock lock(h);
    DibLayout layout;
    if (!lock || !ReadDibLayout(lock.bytes(), layout))
        __builtin_trap();
    return {lock.get() + layout.bitsOffset, lock.get() + layout.bitsOffset + layout.imageBytes};
}

std::vector<uint8_t> Contents(Handle h) {
    HandleLock lock(h);
    return lock ? std::vector<uint8_t>(lock.get(), lock.get() + GetHandleSize(h)) : std::vector<uint8_t>{};
}

// Packs the DIB's rows with pack, unpacks them into a fresh DIB with unpack: same rows.
template <class Pack, class Unpack>
void CheckRoundTrip(DibHandle dib, int width, int height, int depth, Pack pack, Unpack unpack) {
    Handle packed = pack(dib);
    if (!packed)
        __builtin_trap();
    DibHandle again = NewDib(width, height, depth);
    if (!unpack(again, Contents(packed)) || Rows(again) != Rows(dib))
        __builtin_trap();
    DisposeHandle(packed);
    DisposeHandle(again);
}

// What the runs say they make (a literal run cut short by the input's end only what it has),
// up to kMaxUnpacked: the room the bare coder is given, so a run past its claim is caught.
size_t ClaimedBytes(std::span<const uint8_t> runs) {
    size_t total = 0;
    for (size_t at = 0; at < runs.size() && total < kMaxUnpacked;) {
        const auto count = static_cast<int8_t>(runs[at++]);
        if (count >= 0) {
            const size_t literal = std::min<size_t>(size_t(count) + 1, runs.size() - at);
            total += literal;
            at += literal;
        } else if (count != -128 && at < runs.size()) {
            total += size_t(1 - count);
            ++at;
        }
    }
    return std::min(total, kMaxUnpacked);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = InitMemRefs();
    if (!ready || size < 4)
        return 0;
    const int depth = kDepths[data[0] % 6];
    const int width = 1 + (data[1] | (data[2] & 1) << 8);
    const int height = 1 + data[3] % 64;
    const std::span<const uint8_t> input{data + 4, size - 4};

    // The bare run coder: bounded by the output, and its output packs back to itself.
    std::vector<uint8_t> out(ClaimedBytes(input));
    const UnpackBitsResult result = UnpackBits(input, out);
    if (result.produced != out.size() || result.consumed > input.size())
        __builtin_trap();
    out.resize(result.produced);
    std::vector<uint8_t> back(out.size());
    if (UnpackBits(PackBitsEncode(out), back).produced != out.size() || back != out)
        __builtin_trap();

    auto dibFromMacRows = [](DibHandle d, std::span<const uint8_t> runs) { return DibFromMacRows(d, runs); };
    auto unpackLzrw = [](DibHandle d, std::span<const uint8_t> records) { return UnpackLzrwDibRows(d, records); };

    DibHandle dib = NewDib(width, height, depth);
    if (!dib)
        return 0;
    // The packers take every row alike: pictures up to kMaxRoundTrip bytes show them, so that
    // an input's time goes to the unpackers reading it.
    const bool roundTrip = size_t(width) * height * depth / 8 <= kMaxRoundTrip;
    DibFromMacRows(dib, input);
    if (roundTrip)
        CheckRoundTrip(dib, width, height, depth, PackDibRows, dibFromMacRows);
    UnpackLzrwDibRows(dib, input);
    if (roundTrip)
        CheckRoundTrip(dib, width, height, depth, PackLzrwDibRows, unpackLzrw);
    DisposeHandle(dib);
    return 0;
}
