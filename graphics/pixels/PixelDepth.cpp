// Layout converters, the colour-key matching of DibReduceTo8Bit, and DibRemapTopColors.
#include "graphics/pixels/PixelDepth.h"

#include <algorithm>
#include <utility>

namespace {

constexpr std::array<uint8_t, 32> kExpand5 = [] {
    std::array<uint8_t, 32> table{};
    for (unsigned v = 1; v < 32; ++v)
        table[v] = static_cast<uint8_t>(8 * v + 7);
    return table;
}();

// A new DIB of depth `to` whose every pixel is convert(source pixel, target pixel); 0 when the
// source is not of depth `from`.
template <class Convert>
DibHandle ConvertPixels(DibHandle source, int from, int to, Convert convert) {
    LockedDib in(source);
    if (!in || in.layout().depth != from)
        return 0;
    const int width = in.layout().width;
    const int height = in.layout().height;
    ScopedHandle result(NewDib(width, height, to));
    LockedDib out(result.get());
    if (!out)
        return 0;
    const size_t fromBytes = static_cast<size_t>(from / 8);
    const size_t toBytes = static_cast<size_t>(to / 8);
    for (int row = 0; row < height; ++row) {
        const uint8_t* s = in.row(row).data();
        uint8_t* d = out.row(row).data();
        for (int x = 0; x < width; ++x, s += fromBytes, d += toBytes)
            convert(s, d);
    }
    return result.release();
}

// Stack 16-bit bytes from a colour's top 5 bits.
void StoreMac16(uint8_t red, uint8_t green, uint8_t blue, uint8_t* d) {
    const unsigned r5 = red >> 3, g5 = green >> 3, b5 = blue >> 3;
    d[0] = static_cast<uint8_t>((r5 << 2) + (g5 >> 3));
    d[1] = static_cast<uint8_t>(((g5 << 5) + b5) & 0xFF);
}

// 2 db^2 + 4 dg^2 + 3 dr^2 between two table entries (blue, green, red, 0).
int ColorDistance(const uint8_t* a, const uint8_t* b) {
    const int db = a[0] - b[0], dg = a[1] - b[1], dr = a[2] - b[2];
    return 2 * db * db + 4 * dg * dg + 3 * dr * dr;
}

// The nearest of entries first..last to entry e: scanning upward, a candidate replaces the
// best only when strictly nearer, and an exact match ends the scan.
uint8_t NearestEntry(std::span<const uint8_t> table, int e, int first, int last) {
    const uint8_t* target = table.data() + 4 * e;
    int best = first;
    int bestDistance = ColorDistance(target, table.data() + 4 * first);
    for (int i = first + 1; i <= last && bestDistance != 0; ++i) {
        const int d = ColorDistance(target, table.data() + 4 * i);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return static_cast<uint8_t>(best);
}

}  // namespace

uint8_t Expand5BitComponent(unsigned v) { return kExpand5[v & 31]; }

DibHandle DibConvert16To24(DibHandle dib) {
    return ConvertPixels(dib, 16, 24, [](const uint8_t* s, uint8_t* d) {
        const unsigned v = unsigned{s[0]} << 8 | s[1];
        d[0] = kExpand5[v & 31];
        d[1] = kExpand5[v >> 5 & 31];
        d[2] = kExpand5[v >> 10 & 31];
    });
}

DibHandle Dib32ToMac16(DibHandle dib) {
    return ConvertPixels(dib, 32, 16, [](const uint8_t* s, uint8_t* d) { StoreMac16(s[2], s[1], s[0], d); });
}

DibHandle Dib24ToMac16(DibHandle dib) {
    return ConvertPixels(dib, 24, 16, [](const uint8_t* s, uint8_t* d) { StoreMac16(s[2], s[1], s[0], d); });
}

DibHandle Dib24ToMac32(DibHandle dib) {
    return ConvertPixels(dib, 24, 32, [](const uint8_t* s, uint8_t* d) {
        d[1] = s[2];
        d[2] = s[1];
        d[3] = s[0];
    });
}

DibHandle DibMac32To24(DibHandle dib) {
    return ConvertPixels(dib, 32, 24, [](const uint8_t* s, uint8_t* d) {
        d[0] = s[3];
        d[1] = s[2];
        d[2] = s[1];
    });
}

DibHandle Dib32To24(DibHandle dib) {
    return ConvertPixels(dib, 32, 24, [](const uint8_t* s, uint8_t* d) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    });
}

DibHandle DibReorder32(DibHandle dib, bool windowsToMac) {
    if (windowsToMac) {
        return ConvertPixels(dib, 32, 32, [](const uint8_t* s, uint8_t* d) {
            d[1] = s[2];
            d[2] = s[1];
            d[3] = s[0];
        });
    }
    return ConvertPixels(dib, 32, 32, [](const uint8_t* s, uint8_t* d) {
        d[0] = s[3];
        d[1] = s[2];
        d[2] = s[1];
    });
}

bool DibSwapPixelBytes(DibHandle dib) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    // Rows are whole 32-bit words, so every row has an even length.
    for (int row = 0; row < locked.layout().height; ++row) {
        auto bytes = locked.row(row);
        for (size_t at = 0; at + 1 < bytes.size(); at += 2)
            std::swap(bytes[at], bytes[at + 1]);
    }
    return true;
}

DibHandle DibToStackLayout(DibHandle dib, int stackDepth) {
    int depth = 0;
    {
        LockedDib locked(dib);
        if (!locked)
            return 0;
        depth = locked.layout().depth;
    }
    if (stackDepth == 16) {
        switch (depth) {
        case 16: {
            ScopedHandle copy(NewHandleFromBytes(HandleToBytes(dib)));
            return copy.get() && DibSwapPixelBytes(copy.get()) ? copy.release() : 0;
        }
        case 24: return Dib24ToMac16(dib);
        case 32: return Dib32ToMac16(dib);
        default: return 0;
        }
    }
    if (stackDepth != 24 && stackDepth != 32)
        return 0;
    switch (depth) {
    case 16: {
        ScopedHandle stored(NewHandleFromBytes(HandleToBytes(dib)));
        if (!stored.get() || !DibSwapPixelBytes(stored.get()))
            return 0;
        ScopedHandle wide(DibConvert16To24(stored.get()));
        return wide.get() ? Dib24ToMac32(wide.get()) : 0;
    }
    case 24: return Dib24ToMac32(dib);
    case 32: return Dib32WindowsToMacOrder(dib);
    default: return 0;
    }
}

DibHandle DibExpand4To8(DibHandle source, int width, int height) {
    LockedDib in(source);
    if (!in || in.layout().depth != 4)
        return 0;
    ScopedHandle result(NewDib(width, height, 8));
    LockedDib out(result.get());
    if (!out)
        return 0;
    const DibLayout& sl = in.layout();
    const int rows = std::min(height, sl.height);
    const int columns = std::min(width, sl.width);
    for (int fromTop = 0; fromTop < rows; ++fromTop) {
        const uint8_t* s = in.row(sl.height - 1 - fromTop).data();
        uint8_t* d = out.row(height - 1 - fromTop).data();
        for (int x = 0; x < columns; ++x)
            d[x] = x % 2 ? s[x / 2] & 0x0F : s[x / 2] >> 4;
    }
    return result.release();
}

ColorKeyTable SortColorKeys(std::span<const uint32_t, 256> keys) {
    ColorKeyTable t;
    for (int i = 0; i < 256; ++i) {
        t.keys[i] = keys[i];
        t.indexes[i] = static_cast<uint8_t>(i);
    }
    for (int i = 0; i < 256; ++i) {
        for (int j = i + 1; j < 256; ++j) {
            if (t.keys[j] < t.keys[i]) {
                std::swap(t.keys[i], t.keys[j]);
                std::swap(t.indexes[i], t.indexes[j]);
            }
        }
    }
    return t;
}

bool MatchPixelsToColorKeys(DibHandle source, const ColorKeyTable& keys, DibHandle target) {
    LockedDib in(source);
    LockedDib out(target);
    if (!in || !out)
        return false;
    const DibLayout& sl = in.layout();
    const int depth = sl.depth;
    if ((depth != 16 && depth != 24 && depth != 32) || out.layout().depth != 8 ||
        out.layout().width != sl.width || out.layout().height != sl.height)
        return false;
    const size_t pixelBytes = static_cast<size_t>(depth / 8);
    uint32_t lastKey = keys.keys[0];
    uint8_t current = keys.indexes[0];
    for (int row = 0; row < sl.height; ++row) {
        const uint8_t* s = in.row(row).data();
        uint8_t* d = out.row(row).data();
        for (int x = 0; x < sl.width; ++x, s += pixelBytes) {
            const uint32_t key = depth == 16 ? uint32_t{s[0]} | uint32_t{s[1]} << 8
                                             : uint32_t{s[0]} << 16 | uint32_t{s[1]} << 8 | s[2];
            if (key != lastKey) {
                int low = 0, high = 255;
                while (low <= high) {
                    const int middle = (low + high) / 2;
                    if (keys.keys[middle] == key) {
                        lastKey = key;
                        current = keys.indexes[middle];
                        break;
                    }
                    if (key < keys.keys[middle])
                        high = middle - 1;
                    else
                        low = middle + 1;
                }
            }
            d[x] = current;
        }
    }
    return true;
}

bool DibRemapTopColors(std::span<uint8_t> dib) {
    DibLayout layout;
    if (!ReadDibLayout(dib, layout) || layout.depth != 8 || layout.tableEntries < 256)
        return false;
    const std::span<const uint8_t> table = dib.subspan(kDibInfoHeaderBytes, 4 * 256);
    std::array<uint8_t, 256> map;
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<uint8_t>(i);
    for (int e = 255; e >= 246; --e)
        map[e] = NearestEntry(table, e, 0, 245);
    for (int e = 0; e <= 9; ++e)
        map[e] = NearestEntry(table, e, 10, 245);
    for (uint8_t& b : dib.subspan(layout.bitsOffset, layout.imageBytes))
        b = map[b];
    return true;
}

namespace {
SolidColorSampler g_sampler = nullptr;
}

void SetSolidColorSampler(SolidColorSampler sampler) { g_sampler = sampler; }

SolidColorSampler GetSolidColorSampler() { return g_sampler; }
