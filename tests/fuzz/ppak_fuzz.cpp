// Packed pictures ("PPak") under libFuzzer: arbitrary bytes as a whole stored picture, and as the
// colour table and pixel data behind a header whose fields the first bytes choose (so that the
// decoders are reached without seeds). Nothing is read or written outside the input and the
// picture (the sanitizers watch); a picture that decodes packs again and reads back the same,
// and the input as a frame delta stays inside it.
#include <algorithm>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/pixels/PackedPictureHeader.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;
constexpr uint16_t kDepths[] = {1, 8, 16, 32};

std::vector<uint8_t> Rows(DibHandle dib) {
    LockedDib locked(dib);
    FuzzCheck(static_cast<bool>(locked));
    return {locked.image().begin(), locked.image().end()};
}

void Decode(std::span<const uint8_t> packed, std::span<const uint8_t> delta) {
    const PPakHeader h = ReadPackedPictureHeader(packed);
    DibHandle dib = 0;
    FuzzCheck((DibFromPackedPicture(packed, h.total, &dib, nullptr) == PPakCheck::Ok) == (dib != 0));
    if (!dib)
        return;
    const std::vector<uint8_t> rows = Rows(dib);
    std::vector<DibColor> colors(256);
    colors.resize(static_cast<size_t>(std::max(0, GetDibColorTable(dib, colors))));
    Handle again = 0;
    uint32_t total = 0;
    FuzzCheck(PackDibAsPackedPicture(dib, h.packingType, h.rowBytes, MacColorTableFromColors(colors), &again, &total) == 0);
    DibHandle back = 0;
    FuzzCheck(DibFromPackedPicture(HandleToBytes(again), total, &back, nullptr) == PPakCheck::Ok);
    FuzzCheck(Rows(back) == rows);
    ApplyDeltaToDib(back, delta, nullptr);
    DisposeHandle(back);
    DisposeHandle(again);
    DisposeHandle(dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const std::span<const uint8_t> input{data, size};
    Decode(input, input);
    if (size < 5)
        return 0;
    const uint16_t width = static_cast<uint16_t>(1 + (data[0] | (data[4] & 1) << 8));
    const uint16_t height = static_cast<uint16_t>(1 + data[1] % 64);
    const uint16_t depth = kDepths[data[2] % 4];
    const uint16_t packing = data[3] & 1 ? kPPakLzrwRows : kPPakPackBits;
    const std::span<const uint8_t> rest = input.subspan(5);
    const size_t tableBytes = data[3] & 2 ? std::min(rest.size(), size_t{8} + 8 * (data[4] >> 1)) : 0;
    Handle h = 0;
    if (WritePackedPictureHeader(width, height, depth, 0, &h) == 0 &&
        FinishPackedPicture(h, packing, rest.first(tableBytes), rest.subspan(tableBytes), nullptr) == 0)
        Decode(HandleToBytes(h), rest);
    DisposeHandle(h);
    return 0;
}
