// Arbitrary bytes as a PackedMask block (refused, or read, written and read back the same, then
// outlined inside itself), and as the pixels of a small picture whose size and depth the first
// bytes choose, scanned for regions whose masks must match the areas they report.
#include <vector>

#include "graphics/dib/Dib.h"
#include "graphics/masks/MaskRegions.h"
#include "graphics/masks/PackedMask.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;
constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};

bool Inside(const MaskBits& inner, const MaskBits& outer) {
    for (int y = 0; y < inner.height(); ++y)
        for (int x = 0; x < inner.width(); ++x)
            if (inner.Get(x, y) && !outer.Get(x, y))
                return false;
    return true;
}

void CheckFound(bool ok, const MaskBits& mask, const Rect32& found, const PixelRows& rows) {
    if (!ok)
        return FuzzCheck(mask.empty());
    FuzzCheck(mask.width() == found.right - found.left && mask.height() == found.bottom - found.top);
    FuzzCheck(found.left >= 0 && found.top >= 0 && found.right <= rows.width && found.bottom <= rows.height);
}

// The input's bytes (zeros past its end) as a picture of the first four bytes' choosing.
std::vector<uint8_t> Picture(const uint8_t* data, size_t size, size_t skip) {
    const int depth = kDepths[data[0] % 6], width = 1 + data[1] % 64, height = 1 + data[2] % 64;
    const uint32_t table = depth <= 8 ? 4u << depth : 0, image = DibRowBytes(depth, width) * height;
    std::vector<uint8_t> dib(kDibInfoHeaderBytes + table + image);
    WriteDibInfoHeader(dib, width, height, depth, image);
    for (size_t i = kDibInfoHeaderBytes; i < dib.size() && skip + i < size; ++i)
        dib[i] = data[skip + i];
    return dib;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput || size < 5)
        return 0;
    MaskBits mask;
    uint16_t first = 0, second = 0;
    if (ReadPackedMaskBits({data, size}, &mask, &first, &second) == PackedMaskRefusal::None) {
        const std::vector<uint8_t> written = WritePackedMask(mask, first, second);
        FuzzCheck(written.size() == PackedMaskBytes(mask.width(), mask.height()) && written.size() <= size + 1);
        MaskBits again;
        uint16_t a = 0, b = 0;
        FuzzCheck(ReadPackedMaskBits(written, &again, &a, &b) == PackedMaskRefusal::None);
        FuzzCheck(again == mask && a == first && b == second);
        FuzzCheck(Inside(MaskOutlineBits(mask), mask));
        const int n = 1 + data[4] % 4;
        MaskBits stamp(2 * n, 2 * n);
        for (int row = 0; row < 2 * n; ++row)
            stamp.SetRun(row, row % 2, 2 * n - 1);
        FuzzCheck(Inside(MaskOutlineStamped(mask, stamp, n), mask));
    }

    const std::vector<uint8_t> image = Picture(data, size, 0), other = Picture(data, size, 7);
    PixelRows rows, changed;
    FuzzCheck(ReadPixelRows(image, &rows) && ReadPixelRows(other, &changed));
    const int x = data[3] % 70 - 3, y = data[4] % 70 - 3;
    Rect32 found;
    CheckFound(ScanColorRun(rows, x, y, &mask, &found), mask, found, rows);
    CheckFound(ScanFloodFillChange(rows, changed, x, y, &mask, &found), mask, found, rows);
    const Rect32 lasso = {x - 10, y - 10, x + data[3] % 50, y + data[4] % 50};
    CheckFound(ScanPolygonMask(rows, changed, lasso, y, x, data[0] & 0x80, &mask, &found), mask, found, rows);
    return 0;
}
