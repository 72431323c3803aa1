// Pictures for the builder: pixels to stored rows, the packed form, colour tables.
#include <algorithm>
#include <stdexcept>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "stack/pictures/PackedPicture.h"

namespace stackbuilder {

namespace {

uint32_t Word32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v >> 24);
    b[at + 1] = static_cast<uint8_t>(v >> 16);
    b[at + 2] = static_cast<uint8_t>(v >> 8);
    b[at + 3] = static_cast<uint8_t>(v);
}

}  // namespace

uint32_t MacRowBytes(int width, int depth) {
    return static_cast<uint32_t>((width + 15) / 16 * depth * 2);
}

std::vector<uint8_t> MacRows(const Picture& p) {
    const uint32_t rowBytes = MacRowBytes(p.width, p.depth);
    std::vector<uint8_t> rows(size_t{rowBytes} * static_cast<size_t>(p.height), 0);
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = rows.data() + size_t{rowBytes} * static_cast<size_t>(y);
        for (int x = 0; x < p.width; ++x) {
            size_t i = static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
            uint32_t v = i < p.pixels.size() ? p.pixels[i] : 0;
            switch (p.depth) {
            case 1:  // the leftmost pixel in the high bit
                row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8));
                break;
            case 4:
                row[x / 2] |= static_cast<uint8_t>((v & 0x0F) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                row[x] = static_cast<uint8_t>(v);
                break;
            case 16:
                row[2 * x] = static_cast<uint8_t>(v >> 8);
                row[2 * x + 1] = static_cast<uint8_t>(v);
                break;
            default:  // 32: unused, red, green, blue
                row[4 * x] = 0;
                row[4 * x + 1] = static_cast<uint8_t>(v >> 16);
                row[4 * x + 2] = static_cast<uint8_t>(v >> 8);
                row[4 * x + 3] = static_cast<uint8_t>(v);
                break;
            }
        }
    }
    return rows;
}

namespace {

// The stored-copy form: the runs found here and the middle behind LZRW1 flag 1, as the
// plug-in's compressor writes input that does not shrink. Kept because readers must take it.
std::vector<uint8_t> PackStoredCopy(std::span<const uint8_t> rows) {
    // Runs of whole 32-bit words from the start and back from the end; 1-bit rows need not
    // come to a whole number of words.
    const size_t n = rows.size();
    std::vector<uint8_t> packed(16, 0);
    if (n < 4)
        return packed;
    const uint32_t lead = Word32(rows, 0);
    size_t leadBytes = 0;
    while (leadBytes + 4 <= n && Word32(rows, leadBytes) == lead)
        leadBytes += 4;
    size_t trailBytes = 0;
    const uint32_t trail = Word32(rows, n - 4);
    if (leadBytes < n)
        while (leadBytes + trailBytes + 4 <= n && Word32(rows, n - trailBytes - 4) == trail)
            trailBytes += 4;
    Put32(packed, 0, lead);
    Put32(packed, 4, static_cast<uint32_t>(leadBytes));
    Put32(packed, 8, trail);
    Put32(packed, 12, static_cast<uint32_t>(trailBytes));
    const size_t middle = n - leadBytes - trailBytes;
    if (middle > 0) {
        // The compressor's stored copy: flag 1, three zero bytes, the bytes.
        packed.resize(16 + 4 + middle, 0);
        packed[16] = 1;
        auto first = rows.begin() + static_cast<std::ptrdiff_t>(leadBytes);
        std::copy(first, first + static_cast<std::ptrdiff_t>(middle), packed.begin() + 20);
    }
    return packed;
}

// Handles for the plug-in's packer; the table is set up (and dropped again) only when the
// caller has none, so that builder use leaves a test's handle table as it was.
class MemRefsWhilePacking {
public:
    MemRefsWhilePacking() : own_(MemRefsCapacity() == 0) {
        if (own_)
            InitMemRefs();
    }
    ~MemRefsWhilePacking() {
        if (own_)
            FreeMemRefs();
    }
    MemRefsWhilePacking(const MemRefsWhilePacking&) = delete;
    MemRefsWhilePacking& operator=(const MemRefsWhilePacking&) = delete;

private:
    bool own_;
};

}  // namespace

std::vector<uint8_t> PackPictureRows(std::span<const uint8_t> rows, PictureStream stream) {
    if (stream == PictureStream::StoredCopy)
        return PackStoredCopy(rows);
    MemRefsWhilePacking table;
    // The whole rows are the packed range (no card-picture rows to leave out), so the row
    // size is not consulted.
    const Handle h = ::PackPictureRows(rows, 0, false);
    if (!h)
        throw std::runtime_error("stackbuilder: the picture packer failed");
    std::vector<uint8_t> packed;
    {
        HandleLock lock(h);
        if (lock)
            packed.assign(lock.get(), lock.get() + GetHandleSize(h));
    }
    DisposeHandle(h);
    if (packed.size() < kPackedPictureHeaderBytes)
        throw std::runtime_error("stackbuilder: the packed picture cannot be read");
    // The run counts are host order in memory, big-endian in the file.
    for (size_t at : {size_t{4}, size_t{12}}) {
        const uint32_t v = uint32_t{packed[at]} | uint32_t{packed[at + 1]} << 8 |
                           uint32_t{packed[at + 2]} << 16 | uint32_t{packed[at + 3]} << 24;
        Put32(packed, at, v);
    }
    return packed;
}

std::vector<uint8_t> MacColorTable(const Picture& p) {
    const size_t entries = p.depth >= 8 ? 256 : (size_t{1} << p.depth);
    std::vector<uint8_t> t(8 + entries * 8, 0);
    t[6] = static_cast<uint8_t>((entries - 1) >> 8);
    t[7] = static_cast<uint8_t>(entries - 1);
    for (size_t i = 0; i < entries; ++i) {
        Rgb c;
        if (i < p.palette.size()) {
            c = p.palette[i];
        } else {
            auto grey = static_cast<uint8_t>(255 - i * 255 / (entries - 1));
            c = {grey, grey, grey};
        }
        uint8_t* e = t.data() + 8 + i * 8;
        e[0] = static_cast<uint8_t>(i >> 8);
        e[1] = static_cast<uint8_t>(i);
        const uint8_t rgb[3] = {c.red, c.green, c.blue};
        for (int k = 0; k < 3; ++k) {
            e[2 + 2 * k] = rgb[k];
            e[3 + 2 * k] = p.macColors ? rgb[k] : 0;
        }
    }
    return t;
}

Picture GradientPicture(int width, int height, int depth) {
    Picture p;
    p.width = width;
    p.height = height;
    p.depth = depth;
    p.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t v;
            // A blank top margin and bottom band, so that both runs are used.
            if (y < height / 4)
                v = 0;
            else if (y >= height - height / 4)
                v = depth == 1 ? 1 : depth == 4 ? 15 : depth == 8 ? 255 : depth == 16 ? 0x7FFF : 0xFFFFFF;
            else if (depth == 1)
                v = static_cast<uint32_t>((x / 3 + y) & 1);
            else if (depth == 4)
                v = static_cast<uint32_t>((x + y) & 15);
            else if (depth == 8)
                v = static_cast<uint32_t>((x * 7 + y * 3) & 255);
            else if (depth == 16)
                v = static_cast<uint32_t>((x & 31) << 10 | (y & 31) << 5 | ((x + y) & 31));
            else
                v = static_cast<uint32_t>((x * 4 & 255) << 16 | (y * 4 & 255) << 8 | ((x ^ y) & 255));
            p.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = v;
        }
    }
    return p;
}

Picture SolidPicture(int width, int height, int depth, uint32_t pixel) {
    Picture p;
    p.width = width;
    p.height = height;
    p.depth = depth;
    p.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), pixel);
    return p;
}

}  // namespace stackbuilder
