// LZRW1 and picture packing on 640 x 480 card pictures at 8 and 32 bits, against a plain copy of
// the same bytes (the memory bandwidth the coder is measured against).
#include "core/Handles.h"
#include "graphics/Lzrw.h"
#include "stack/PackedPicture.h"

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
    default: return RandomBytes(size_t{kWidth} * kHeight);
    }
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

// Argument: 8 or 32 for a card picture of that depth, 0 for random bytes (the stored case).
BENCHMARK(BM_LzrwCompress)->Arg(8)->Arg(32)->Arg(0);
BENCHMARK(BM_LzrwDecompress)->Arg(8)->Arg(32)->Arg(0);
BENCHMARK(BM_PackPictureRows)->Arg(8)->Arg(32);
BENCHMARK(BM_Memcpy)->Arg(8)->Arg(32);
BENCHMARK(BM_MemcpyMainMemory);

}  // namespace
