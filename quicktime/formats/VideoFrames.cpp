// Image descriptions, default colour tables, and the 'raw ' and 'rle ' decoders.
#include "quicktime/formats/VideoFrames.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

int BitsOf(int16_t depth) { return depth > 32 ? depth - 32 : depth; }

bool IndexedDepth(int16_t depth) {
    const int bits = BitsOf(depth);
    return bits == 1 || bits == 2 || bits == 4 || bits == 8;
}

// 0xRRGGBB into a frame pixel, when it lies within the frame. A null frame is the first pass
// over an 'rle ' sample, which only checks it.
void Put(VideoFrame* f, int64_t x, int64_t y, uint32_t rgb) {
    if (!f || x < 0 || y < 0 || x >= f->width || y >= f->height)
        return;
    uint8_t* p = f->bgra.data() + (size_t(y) * size_t(f->width) + size_t(x)) * 4;
    p[0] = uint8_t(rgb);
    p[1] = uint8_t(rgb >> 8);
    p[2] = uint8_t(rgb >> 16);
    p[3] = 0xFF;
}

uint32_t Expand555(uint32_t v) {
    const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
    return (r * 255 / 31) << 16 | (g * 255 / 31) << 8 | b * 255 / 31;
}

// The pixel of direct colour at p (16, 24 or 32 bits: 5-5-5, RGB, ARGB, big-endian).
uint32_t DirectPixel(int bits, const uint8_t* p) {
    switch (bits) {
    case 16: return Expand555(uint32_t(p[0]) << 8 | p[1]);
    case 24: return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    default: return uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    }
}

// The index'th pixel of packed indexed bytes, the first pixel in the high bits.
uint32_t IndexAt(const uint8_t* row, int bits, int64_t index) {
    const int64_t bit = index * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

VideoRefusal DecodeRaw(const VideoFormat& fmt, std::span<const uint8_t> s, VideoFrame* f) {
    const int bits = BitsOf(fmt.depth);
    const size_t minRow = (size_t(fmt.width) * bits + 7) / 8;
    // Rows may be padded: the stride is what the sample holds per line, at least the pixels.
    const size_t stride = s.size() / size_t(fmt.height);
    if (stride < minRow)
        return VideoRefusal::Truncated;
    const int32_t w = std::min(fmt.width, f->width), h = std::min(fmt.height, f->height);
    const int bytes = bits / 8;  // the stride is checked before any pixel changes
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* row = s.data() + stride * size_t(y);
        for (int32_t x = 0; x < w; ++x)
            Put(f, x, y, bits <= 8 ? fmt.colours[IndexAt(row, bits, x)] : DirectPixel(bits, row + size_t(x) * bytes));
    }
    return VideoRefusal::None;
}

// 'rle ' at 1 bit: pairs of a skip byte (0x80: on to the next line, the rest in 16-pixel steps)
// and a code (0 the end, -1 no pixels, -n n copies of two bytes, +n 2n literal bytes).
VideoRefusal DecodeRle1(const VideoFormat& fmt, ByteReader& r, int64_t first, int64_t lines, VideoFrame* f) {
    const int64_t padded = (int64_t(fmt.width) + 15) / 16 * 16;
    int64_t y = first - 1, x = 0;
    for (;;) {
        const uint8_t skip = r.U8();
        const auto code = static_cast<int8_t>(r.U8());
        if (!r.ok())
            return VideoRefusal::Truncated;
        if (code == 0)
            return VideoRefusal::None;
        if (skip & 0x80) {
            ++y;
            x = 16 * int64_t(skip & 0x7F);
        } else {
            x += 16 * int64_t(skip);
        }
        if (y < first || y >= first + lines)
            return VideoRefusal::BadLines;
        if (code == -1)
            continue;
        const int64_t bytes = code < 0 ? 2 : 2 * int64_t(code);
        const int64_t repeat = code < 0 ? -int64_t(code) : 1;
        if (x + repeat * bytes * 8 > padded)
            return VideoRefusal::BadRun;
        const std::span<const uint8_t> data = r.Bytes(size_t(bytes));
        if (!r.ok())
            return VideoRefusal::Truncated;
        for (int64_t k = 0; k < repeat; ++k)
            for (int64_t i = 0; i < bytes * 8; ++i, ++x)
                Put(f, x, y, fmt.colours[IndexAt(data.data(), 1, i)]);
    }
}

// 'rle ' above 1 bit: each line a skip byte (1 + the units skipped), then codes up to -1: 0 a
// further skip byte, -n n copies of one unit, +n n literal units. A unit is 4 bytes of indexed
// pixels, else one pixel.
VideoRefusal DecodeRleLines(const VideoFormat& fmt, ByteReader& r, int64_t first, int64_t lines, VideoFrame* f) {
    const int bits = BitsOf(fmt.depth);
    const int unitBytes = bits <= 8 ? 4 : bits / 8;
    const int unitPixels = bits <= 8 ? 32 / bits : 1;
    const int64_t padded = (int64_t(fmt.width) + unitPixels - 1) / unitPixels * unitPixels;
    const auto draw = [&](const uint8_t* unit, int64_t x, int64_t y) {
        for (int i = 0; i < unitPixels; ++i)
            Put(f, x + i, y, bits <= 8 ? fmt.colours[IndexAt(unit, bits, i)] : DirectPixel(bits, unit));
    };
    for (int64_t y = first; y < first + lines; ++y) {
        int64_t x = (int64_t(r.U8()) - 1) * unitPixels;
        for (;;) {
            const auto code = static_cast<int8_t>(r.U8());
            if (!r.ok())
                return VideoRefusal::Truncated;
            if (x < 0 || x > padded)
                return VideoRefusal::BadRun;
            if (code == -1)
                break;
            if (code == 0) {
                x += (int64_t(r.U8()) - 1) * unitPixels;
                continue;
            }
            const int64_t n = code < 0 ? -int64_t(code) : code;
            if (x + n * unitPixels > padded)
                return VideoRefusal::BadRun;
            const std::span<const uint8_t> data = r.Bytes(size_t(code < 0 ? unitBytes : n * unitBytes));
            if (!r.ok())
                return VideoRefusal::Truncated;
            for (int64_t k = 0; k < n; ++k, x += unitPixels)
                draw(data.data() + (code < 0 ? 0 : k * unitBytes), x, y);
        }
    }
    return VideoRefusal::None;
}

// The chunk: its size (low 30 bits), a header word whose bit 0x0008 names a line range
// (first line, 2 bytes, line count, 2 bytes), then the lines. Under 8 bytes: nothing changes.
VideoRefusal DecodeRle(const VideoFormat& fmt, std::span<const uint8_t> s, VideoFrame* f) {
    if (s.size() < 8)
        return VideoRefusal::None;
    ByteReader r(s);
    const uint32_t size = r.U32BE() & 0x3FFFFFFF;
    if (size < 8 || size > s.size())
        return VideoRefusal::Truncated;
    r = ByteReader(s.first(size), 4);
    const uint16_t header = r.U16BE();
    int64_t first = 0, lines = fmt.height;
    if (header & 0x0008) {
        first = r.U16BE();
        r.Skip(2);
        lines = r.U16BE();
        r.Skip(2);
        if (!r.ok())
            return VideoRefusal::Truncated;
    }
    if (first + lines > fmt.height)
        return VideoRefusal::BadLines;
    return BitsOf(fmt.depth) == 1 ? DecodeRle1(fmt, r, first, lines, f) : DecodeRleLines(fmt, r, first, lines, f);
}

}  // namespace

const char* VideoRefusalText(VideoRefusal refusal) {
    switch (refusal) {
    case VideoRefusal::None: return "decoded";
    case VideoRefusal::Unsupported: return "a codec or depth not decoded here";
    case VideoRefusal::BadSize: return "a frame size of nothing or past the limit";
    case VideoRefusal::Truncated: return "the sample ends early";
    case VideoRefusal::BadRun: return "a skip or run past its line";
    case VideoRefusal::BadLines: return "lines past the picture";
    }
    return "?";
}

std::array<uint32_t, 256> DefaultVideoColours(int16_t depth) {
    std::array<uint32_t, 256> c{};
    const int bits = BitsOf(depth);
    if (bits < 1 || bits > 8)
        return c;
    const uint32_t count = 1u << bits;
    const auto grey = [](uint32_t v) { return v << 16 | v << 8 | v; };
    if (depth > 32 || bits == 1 || bits == 2) {
        // Ramps from white to black.
        for (uint32_t i = 0; i < count; ++i)
            c[i] = grey(255 - i * 255 / (count - 1));
        if (bits == 2 && depth <= 32)
            c[1] = grey(0xAC), c[2] = grey(0x55);
        return c;
    }
    if (bits == 4) {
        c = {0xFFFFFF, 0xFCF305, 0xFF6402, 0xDD0806, 0xF20884, 0x4600A5, 0x0000D4, 0x02ABEA,
             0x1FB714, 0x006411, 0x562C05, 0x90713A, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
        return c;
    }
    // The 6 × 6 × 6 cube from white (black left out), then ramps of red, green, blue and grey
    // in the steps the cube skips, then black.
    size_t i = 0;
    for (uint32_t r = 0; r < 6; ++r)
        for (uint32_t g = 0; g < 6; ++g)
            for (uint32_t b = 0; b < 6 && i < 215; ++b)
                c[i++] = (255 - r * 51) << 16 | (255 - g * 51) << 8 | (255 - b * 51);
    const uint32_t steps[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    for (int shift : {16, 8, 0})
        for (uint32_t s : steps)
            c[i++] = s << shift;
    for (uint32_t s : steps)
        c[i++] = grey(s);
    c[255] = 0;
    return c;
}

bool ReadVideoFormat(std::span<const uint8_t> d, VideoFormat* out) {
    *out = {};
    if (d.size() < kImageDescriptionBytes)
        return false;
    ByteReader r(d, 4);
    out->codec = r.U32BE();
    r.Seek(32);
    out->width = r.U16BE();
    out->height = r.U16BE();
    r.Seek(82);
    out->depth = r.I16BE();
    const int16_t clutId = r.I16BE();
    out->colours = DefaultVideoColours(out->depth);
    // Colour table: seed, flags, count - 1, then (value, red, green, blue) 16 bits each.
    if (clutId == 0 && IndexedDepth(out->depth) && out->depth <= 32) {
        r.Skip(4);
        const bool inOrder = (r.U16BE() & 0x8000) != 0;
        const uint32_t count = uint32_t(r.U16BE()) + 1;
        for (uint32_t i = 0; i < count && r.remaining() >= 8; ++i) {
            const uint16_t value = r.U16BE();
            const uint32_t red = r.U16BE() >> 8, green = r.U16BE() >> 8, blue = r.U16BE() >> 8;
            // Entries name their index, unless the table is in order (flags' high bit).
            const uint32_t at = inOrder ? i : value;
            if (at < 256)
                out->colours[at] = red << 16 | green << 8 | blue;
        }
    }
    return true;
}

bool DecodesVideo(const VideoFormat& f) {
    const int bits = BitsOf(f.depth);
    if (f.codec == kVideoRaw)
        return IndexedDepth(f.depth) || (f.depth == 16 || f.depth == 24 || f.depth == 32);
    if (f.codec == kVideoRle)
        return IndexedDepth(f.depth) || (bits == 16 || bits == 24 || bits == 32);
    return false;
}

VideoRefusal NewVideoFrame(const VideoFormat& format, int32_t maxWidth, int32_t maxHeight, VideoFrame* frame) {
    *frame = {};
    const int32_t w = std::min(format.width, maxWidth), h = std::min(format.height, maxHeight);
    if (w <= 0 || h <= 0 || int64_t(w) * h > kMaxVideoPixels)
        return VideoRefusal::BadSize;
    frame->width = w;
    frame->height = h;
    frame->bgra.assign(size_t(w) * size_t(h) * 4, 0);
    for (size_t i = 3; i < frame->bgra.size(); i += 4)
        frame->bgra[i] = 0xFF;
    return VideoRefusal::None;
}

VideoRefusal DecodeVideoSample(const VideoFormat& format, std::span<const uint8_t> sample, VideoFrame* frame) {
    if (!DecodesVideo(format))
        return VideoRefusal::Unsupported;
    if (format.width <= 0 || format.height <= 0 || frame->width <= 0 || frame->height <= 0 ||
        frame->bgra.size() != size_t(frame->width) * size_t(frame->height) * 4)
        return VideoRefusal::BadSize;
    if (format.codec == kVideoRaw)
        return DecodeRaw(format, sample, frame);
    // Checked whole before a pixel changes, so that a refused sample leaves the frame as it was.
    if (const VideoRefusal r = DecodeRle(format, sample, nullptr); r != VideoRefusal::None)
        return r;
    return DecodeRle(format, sample, frame);
}
