// LZRW1 and picture packing on 640 x 480 card pictures at 8 and 32 bits and on a card of mixed
// content, against a plain copy of the same bytes (the memory bandwidth the coder is measured
// against) and against a plain byte-at-a-time rendering of the same coder.
#include "core/memory/Handles.h"
#include "graphics/pixels/Lzrw.h"
#include "stack/pictures/PackedPicture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A card as people paint them: a plain background, panels and buttons, lines of text, a
// round badge and a photograph-like area. Pixels are given as 0x00RRGGBB; 8-bit cards use an
// index instead.
uint32_t CardPixel(int x, int y, std::mt19937& rng, bool deep) {
    if (x >= 360 && x < 600 && y >= 60 && y < 240) {  // photograph
        const double v = 128 + 60 * std::sin(x * 0.05) * std::cos(y * 0.07) + (rng() % 9);
        const auto c = static_cast<uint32_t>(std::clamp(v, 0.0, 255.0));
        return deep ? (c << 16) | ((c * 3 / 4) << 8) | (255 - c) : (c & 0xF8) | (rng() % 2);
    }
    if (x >= 40 && x < 320 && y >= 60 && y < 300) {  // text panel: glyph-like strokes on lines
        const int line = (y - 60) / 16, row = (y - 60) % 16;
        const bool ink = row >= 3 && row < 13 && ((x * 7 + line * 13) % 11 < 3 || (x + row * 5) % 17 == 0);
        return ink ? (deep ? 0x101010u : 0xFF) : (deep ? 0xFFFFF0u : 0x00);
    }
    const int dx = x - 480, dy = y - 360;
    if (dx * dx + dy * dy < 60 * 60)  // badge
        return deep ? 0xC02020u : 0x23;
    if (y >= 400 && y < 440 && (x / 120) % 2 == 0 && x % 120 > 10)  // buttons
        return deep ? 0x3060A0u : 0x51;
    if (deep)  // background: a vertical gradient
        return 0x204060u + static_cast<uint32_t>(y / 4);
    return 0xF5;
}

Bytes CardPicture(int depth) {
    std::mt19937 rng(1);
    const bool deep = depth == 32;
    Bytes rows(size_t{kWidth} * kHeight * (deep ? 4 : 1));
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t c = CardPixel(x, y, rng, deep);
            if (deep) {
                uint8_t* px = &rows[(static_cast<size_t>(y) * kWidth + x) * 4];  // unused, red, green, blue
                px[0] = 0;
                px[1] = static_cast<uint8_t>(c >> 16);
                px[2] = static_cast<uint8_t>(c >> 8);
                px[3] = static_cast<uint8_t>(c);
            } else {
                rows[static_cast<size_t>(y) * kWidth + x] = static_cast<uint8_t>(c);
            }
        }
    }
    return rows;
}

// An 8-bit card whose rows hold a flat band, a small repeating pattern, noise over six values and
// a smooth gradient, each band a few dozen pixels wide and the bands shifting from row to row:
// short copies with literals among them, the hard case for both halves of the coder.
Bytes MixedCard() {
    static const uint8_t pattern[] = {0x40, 0x44, 0x47, 0x40, 0x52};
    std::mt19937 rng(3);
    Bytes rows(size_t{kWidth} * kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const int band = (x + y * 7) % 160;
            uint8_t v;
            if (band < 24)  // flat
                v = static_cast<uint8_t>(0x10 + (y / 24));
            else if (band < 56)  // small repeating pattern
                v = pattern[(x + y) % 5];
            else if (band < 104)  // noise over six values
                v = static_cast<uint8_t>(0x60 + rng() % 6);
            else  // smooth gradient, its slope changing with the row
                v = static_cast<uint8_t>(0x90 + (band - 104) * (3 + y % 5) / 16);
            rows[static_cast<size_t>(y) * kWidth + x] = v;
        }
    }
    return rows;
}

Bytes RandomBytes(size_t n) {
    std::mt19937 rng(2);
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

Bytes Input(int which) {
    switch (which) {
    case 8: return CardPicture(8);
    case 32: return CardPicture(32);
    case 1: return MixedCard();
    default: return RandomBytes(size_t{kWidth} * kHeight);
    }
}

// The baseline: the published algorithm item by item, with the end and overrun tests made for
// every item, bytes compared and copied one at a time, the table cleared as ours is. It gives
// the same streams as the coder.
size_t PlainCompress(const uint8_t* src, size_t n, uint8_t* dst, const uint8_t** table) {
    for (size_t i = 0; i < 4096; ++i)
        table[i] = nullptr;
    const uint8_t* p = src;
    const uint8_t* const end = src + n;
    uint8_t* out = dst + 4;
    uint8_t* controlAt = out;
    out += 2;
    unsigned control = 0, items = 0;
    dst[0] = dst[1] = dst[2] = dst[3] = 0;
    for (;;) {
        if (static_cast<size_t>(out - dst) > n) {
            dst[0] = 1;
            for (size_t i = 0; i < n; ++i)
                dst[4 + i] = src[i];
            return n + 4;
        }
        if (p == end)
            break;
        size_t length = 0;
        const uint8_t* q = nullptr;
        if (end - p >= 18) {
            const int b0 = static_cast<int8_t>(p[0]), b1 = static_cast<int8_t>(p[1]), b2 = static_cast<int8_t>(p[2]);
            const uint32_t h = static_cast<uint32_t>(((b0 << 4) ^ b1) << 4 ^ b2);
            const uint32_t index = ((h * 40543u) >> 4) & 0xFFF;
            q = table[index];
            table[index] = p;
            if (q && p - q >= 1 && p - q <= 4095)
                while (length < 18 && q[length] == p[length])
                    ++length;
        }
        if (length >= 3) {
            const size_t offset = static_cast<size_t>(p - q);
            *out++ = static_cast<uint8_t>(((offset >> 4) & 0xF0) | (length - 3));
            *out++ = static_cast<uint8_t>(offset & 0xFF);
            control |= 1u << items;
            p += length;
        } else {
            *out++ = *p++;
        }
        if (++items == 16) {
            controlAt[0] = static_cast<uint8_t>(control);
            controlAt[1] = static_cast<uint8_t>(control >> 8);
            controlAt = out;
            out += 2;
            control = items = 0;
        }
    }
    controlAt[0] = static_cast<uint8_t>(control);
    controlAt[1] = static_cast<uint8_t>(control >> 8);
    if (controlAt + 2 == out)
        out -= 2;
    return static_cast<size_t>(out - dst);
}

// Reads a stream item by item with every test made per item, copies byte by byte.
bool PlainDecompress(const uint8_t* stream, size_t size, uint8_t* dst, size_t capacity, size_t& outLength) {
    outLength = 0;
    if (size < 4 || stream[0] > 1)
        return false;
    const uint8_t* in = stream + 4;
    const uint8_t* const end = stream + size;
    size_t out = 0;
    if (stream[0] == 1) {
        if (size - 4 > capacity)
            return false;
        while (in != end)
            dst[out++] = *in++;
        outLength = out;
        return true;
    }
    while (in != end) {
        if (end - in < 2)
            return false;
        unsigned control = in[0] | in[1] << 8;
        in += 2;
        for (int i = 0; i < 16 && in != end; ++i, control >>= 1) {
            if (control & 1) {
                if (end - in < 2)
                    return false;
                const size_t offset = (in[0] & 0xF0u) << 4 | in[1];
                const size_t length = (in[0] & 0x0Fu) + 3;
                in += 2;
                if (offset == 0 || offset > out || length > capacity - out)
                    return false;
                for (size_t k = 0; k < length; ++k, ++out)
                    dst[out] = dst[out - offset];
            } else {
                if (out == capacity)
                    return false;
                dst[out++] = *in++;
            }
        }
    }
    outLength = out;
    return true;
}

void BM_LzrwCompress(benchmark::State& state) {
    const Bytes in = Input(static_cast<int>(state.range(0)));
    Bytes work(kLzrwWorkAreaBytes), out(LzrwCompressBound(in.size()));
    size_t length = 0;
    for (auto _ : state) {
        LzrwCompress(work, in, out, length);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
    state.counters["ratio"] = static_cast<double>(length) / static_cast<double>(in.size());
}

void BM_LzrwDecompress(benchmark::State& state) {
    const Bytes in = Input(static_cast<int>(state.range(0)));
    Bytes work(kLzrwWorkAreaBytes), stream(LzrwCompressBound(in.size())), out(in.size());
    size_t length = 0;
    LzrwCompress(work, in, stream, length);
    stream.resize(length);
    for (auto _ : state) {
        LzrwDecompress(stream, out, length);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != in)
        state.SkipWithError("round trip failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_PlainCompress(benchmark::State& state) {
    const Bytes in = Input(static_cast<int>(state.range(0)));
    std::vector<const uint8_t*> table(4096);
    Bytes out(LzrwCompressBound(in.size()));
    size_t length = 0;
    for (auto _ : state) {
        length = PlainCompress(in.data(), in.size(), out.data(), table.data());
        benchmark::DoNotOptimize(out.data());
    }
    // The baseline must do the same work: its stream is the coder's.
    Bytes work(kLzrwWorkAreaBytes), ours(LzrwCompressBound(in.size()));
    size_t ourLength = 0;
    LzrwCompress(work, in, ours, ourLength);
    if (ourLength != length || std::memcmp(ours.data(), out.data(), length) != 0)
        state.SkipWithError("the plain compressor's stream differs");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_PlainDecompress(benchmark::State& state) {
    const Bytes in = Input(static_cast<int>(state.range(0)));
    Bytes work(kLzrwWorkAreaBytes), stream(LzrwCompressBound(in.size())), out(in.size());
    size_t length = 0;
    LzrwCompress(work, in, stream, length);
    stream.resize(length);
    for (auto _ : state) {
        PlainDecompress(stream.data(), stream.size(), out.data(), out.size(), length);
        benchmark::DoNotOptimize(out.data());
    }
    if (out != in)
        state.SkipWithError("round trip failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

void BM_PackPictureRows(benchmark::State& state) {
    InitMemRefs();
    const int depth = static_cast<int>(state.range(0));
    const Bytes in = Input(depth);
    const auto rowBytes = static_cast<uint32_t>(in.size() / kHeight);
    for (auto _ : state) {
        const Handle h = PackPictureRows(in, rowBytes, false);
        benchmark::DoNotOptimize(h);
        DisposeHandle(h);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
    FreeMemRefs();
}

void BM_Memcpy(benchmark::State& state) {
    const Bytes in = Input(static_cast<int>(state.range(0)));
    Bytes out(in.size());
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// The same copy over 64 MB, far beyond the caches: main-memory bandwidth.
void BM_MemcpyMainMemory(benchmark::State& state) {
    const Bytes in(size_t{64} << 20, 1);
    Bytes out(in.size());
    for (auto _ : state) {
        std::memcpy(out.data(), in.data(), in.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * in.size()));
}

// Argument: 8 or 32 for a card picture of that depth, 1 for the mixed 8-bit card, 0 for random
// bytes (the stored case).
BENCHMARK(BM_LzrwCompress)->Arg(8)->Arg(32)->Arg(1)->Arg(0);
BENCHMARK(BM_PlainCompress)->Arg(8)->Arg(32)->Arg(1);
BENCHMARK(BM_LzrwDecompress)->Arg(8)->Arg(32)->Arg(1)->Arg(0);
BENCHMARK(BM_PlainDecompress)->Arg(8)->Arg(32)->Arg(1);
BENCHMARK(BM_PackPictureRows)->Arg(8)->Arg(32);
BENCHMARK(BM_Memcpy)->Arg(8)->Arg(32)->Arg(1);
BENCHMARK(BM_MemcpyMainMemory);

}  // namespace
