// Pixel byte orders and colour tables of DibHandles.
#include "graphics/dib/DibPixels.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

bool ReversePixelBytes(DibHandle dib) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    const DibLayout& layout = locked.layout();
    if (layout.depth != 16 && layout.depth != 32)
        return true;
    const size_t pixelBytes = static_cast<size_t>(layout.depth / 8);
    const size_t used = pixelBytes * static_cast<size_t>(layout.width);
    for (int row = 0; row < layout.height; ++row) {
        auto pixels = locked.row(row).first(used);
        for (size_t at = 0; at < used; at += pixelBytes)
            std::reverse(pixels.begin() + at, pixels.begin() + at + pixelBytes);
    }
    return true;
}

// An index past the table counts as black.
DibColor ColorAt(std::span<const uint8_t> table, uint32_t index) {
    if (index >= table.size() / 4)
        return {};
    const uint8_t* e = table.data() + 4 * index;
    return {e[0], e[1], e[2], e[3]};
}

}  // namespace

bool DibToStoredPixelOrder(DibHandle dib) { return ReversePixelBytes(dib); }

bool DibFromStoredPixelOrder(DibHandle dib) { return ReversePixelBytes(dib); }

int GetDibColorTable(DibHandle dib, std::span<DibColor> out) {
    LockedDib locked(dib);
    if (!locked)
        return -1;
    const uint32_t count =
        std::min<uint32_t>({locked.layout().tableEntries, 256, static_cast<uint32_t>(out.size())});
    for (uint32_t i = 0; i < count; ++i)
        out[i] = ColorAt(locked.table(), i);
    return static_cast<int>(count);
}

int SetDibColorTable(DibHandle dib, std::span<const DibColor> colors) {
    LockedDib locked(dib);
    if (!locked)
        return -1;
    const uint32_t entries = std::min<uint32_t>(locked.layout().tableEntries, 256);
    const uint32_t written = std::min<uint32_t>(entries, static_cast<uint32_t>(colors.size()));
    uint8_t* e = locked.table().data();
    for (uint32_t i = 0; i < entries; ++i, e += 4) {
        const DibColor c = i < written ? colors[i] : DibColor{};
        e[0] = c.blue;
        e[1] = c.green;
        e[2] = c.red;
        e[3] = 0;
    }
    return static_cast<int>(written);
}

bool DibRemapPixels(DibHandle dib, const NearestColorIndex& nearestIndex, std::span<const DibColor> newTable) {
    {
        LockedDib locked(dib);
        if (!locked || (locked.layout().depth != 4 && locked.layout().depth != 8))
            return false;
        std::array<std::optional<uint8_t>, 256> cache;
        auto target = [&](uint8_t index) {
            if (!cache[index])
                cache[index] = nearestIndex(ColorAt(locked.table(), index));
            return *cache[index];
        };
        for (uint8_t& b : locked.image()) {
            if (locked.layout().depth == 8)
                b = target(b);
            else
                b = static_cast<uint8_t>((target(b >> 4) & 0x0F) << 4 | (target(b & 0x0F) & 0x0F));
        }
    }
    // A 4-bit table takes the first 16 colours; SetDibColorTable never passes the table's end.
    return SetDibColorTable(dib, newTable) >= 0;
}
