// One-bit masks as plain bits: cuts, row repacking and outlines.
#include "graphics/masks/MaskBits.h"

#include <algorithm>
#include <bit>

namespace {

// The padding bits past the width of the last byte of a row, which stay 0.
uint8_t LastByteMask(int width) {
    const int used = width % 8;
    return used == 0 ? 0xFF : static_cast<uint8_t>(0xFF << (8 - used));
}

// Calls visit(first, last, line) for every run of set pixels along each of `lines` lines of
// `length` pixels, where set(i, line) tells whether pixel i of a line is set.
template <class Set, class Visit>
void ForEachRunAlong(int lines, int length, Set set, Visit visit) {
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length;) {
            if (!set(i, line)) {
                ++i;
                continue;
            }
            const int start = i;
            while (i + 1 < length && set(i + 1, line))
                ++i;
            visit(start, i, line);
            ++i;
        }
    }
}

// Calls visit(x0, x1, y) for every horizontal run of set pixels, then visit(y0, y1, x) for
// every vertical run, through the two callables.
template <class Horizontal, class Vertical>
void ForEachRun(const MaskBits& mask, Horizontal horizontal, Vertical vertical) {
    ForEachRunAlong(mask.height(), mask.width(), [&](int x, int y) { return mask.Get(x, y); }, horizontal);
    ForEachRunAlong(mask.width(), mask.height(), [&](int y, int x) { return mask.Get(x, y); }, vertical);
}

// ORs the stamp into the mask with its top-left corner at (left, top).
void OrStamp(MaskBits& into, const MaskBits& stamp, int left, int top) {
    for (int sy = 0; sy < stamp.height(); ++sy) {
        for (int sx = 0; sx < stamp.width(); ++sx) {
            if (stamp.Get(sx, sy))
                into.Set(left + sx, top + sy);
        }
    }
}

}  // namespace

MaskBits::MaskBits(int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaskMaxDimension || height > kMaskMaxDimension)
        return;
    width_ = width;
    height_ = height;
    bits_.assign(size_t{MaskRowBytes(width)} * static_cast<size_t>(height), 0);
}

bool MaskBits::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return false;
    return (bits_[size_t{rowBytes()} * y + x / 8] & (0x80 >> (x % 8))) != 0;
}

void MaskBits::Set(int x, int y, bool white) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    uint8_t& byte = bits_[size_t{rowBytes()} * y + x / 8];
    const auto bit = static_cast<uint8_t>(0x80 >> (x % 8));
    byte = white ? static_cast<uint8_t>(byte | bit) : static_cast<uint8_t>(byte & ~bit);
}

void MaskBits::SetRun(int y, int x0, int x1) {
    if (y < 0 || y >= height_)
        return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width_ - 1);
    for (int x = x0; x <= x1; ++x)
        Set(x, y);
}

int MaskBits::CountSet() const {
    int count = 0;
    for (uint8_t byte : bits_)
        count += std::popcount(byte);
    return count;
}

MaskBits CutMaskBits(const MaskBits& mask, const Rect32& rect) {
    const int64_t width = int64_t{rect.right} - rect.left;
    const int64_t height = int64_t{rect.bottom} - rect.top;
    if (width <= 0 || height <= 0 || width > kMaskMaxDimension || height > kMaskMaxDimension)
        return {};
    MaskBits cut(static_cast<int>(width), static_cast<int>(height));
    // Only the part that overlaps the source can hold set pixels.
    const int y0 = std::max(rect.top, 0), y1 = std::min<int64_t>(rect.bottom, mask.height());
    const int x0 = std::max(rect.left, 0), x1 = std::min<int64_t>(rect.right, mask.width());
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (mask.Get(x, y))
                cut.Set(x - rect.left, y - rect.top);
        }
    }
    return cut;
}

bool MaskBitsFromRows(std::span<const uint8_t> rows, uint32_t rowBytes, bool topDown, bool oneIsWhite, MaskBits* mask) {
    const uint32_t used = (static_cast<uint32_t>(mask->width()) + 7) / 8;
    if (mask->empty() || rowBytes < used || rows.size() / rowBytes < static_cast<size_t>(mask->height()))
        return false;
    const int height = mask->height();
    for (int y = 0; y < height; ++y) {
        const size_t from = size_t{rowBytes} * static_cast<size_t>(topDown ? y : height - 1 - y);
        std::span<uint8_t> out = mask->row(y);
        for (uint32_t i = 0; i < used; ++i)
            out[i] = oneIsWhite ? rows[from + i] : static_cast<uint8_t>(~rows[from + i]);
        out[used - 1] &= LastByteMask(mask->width());
        std::fill(out.begin() + used, out.end(), uint8_t{0});
    }
    return true;
}

std::vector<uint8_t> MaskBitsToRows(const MaskBits& mask, uint32_t rowBytes) {
    const uint32_t used = (static_cast<uint32_t>(mask.width()) + 7) / 8;
    if (mask.empty() || rowBytes < used)
        return {};
    std::vector<uint8_t> rows(size_t{rowBytes} * static_cast<size_t>(mask.height()), 0);
    for (int y = 0; y < mask.height(); ++y)
        std::copy_n(mask.row(y).begin(), used, rows.begin() + static_cast<ptrdiff_t>(size_t{rowBytes} * y));
    return rows;
}

MaskBits MaskOutlineBits(const MaskBits& mask) {
    MaskBits outline(mask.width(), mask.height());
    ForEachRun(
        mask,
        [&](int x0, int x1, int y) {
            outline.Set(x0, y);
            outline.Set(x1, y);
        },
        [&](int y0, int y1, int x) {
            outline.Set(x, y0);
            outline.Set(x, y1);
        });
    return outline;
}

MaskBits MaskOutlineStamped(const MaskBits& mask, const MaskBits& stamp, int n) {
    MaskBits band(mask.width(), mask.height());
    if (band.empty())
        return band;
    ForEachRun(
        mask,
        [&](int x0, int x1, int y) {
            OrStamp(band, stamp, x0 - n, y - n);
            if (x1 != x0)
                OrStamp(band, stamp, x1 + 1 - n, y - n);
        },
        [&](int y0, int y1, int x) {
            OrStamp(band, stamp, x - n, y0 - n);
            if (y1 != y0)
                OrStamp(band, stamp, x - n, y1 + 1 - n);
        });
    for (int y = 0; y < band.height(); ++y) {
        std::span<uint8_t> out = band.row(y);
        std::span<const uint8_t> in = mask.row(y);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] &= in[i];
    }
    return band;
}
