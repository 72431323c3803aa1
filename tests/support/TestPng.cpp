#include "tests/support/TestPng.h"

#include <algorithm>

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Crc(const uint8_t* p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}
void Be32(Bytes* out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out->push_back(static_cast<uint8_t>(v >> s));
}
void Chunk(Bytes* png, const char* type, const Bytes& data) {
    Be32(png, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png->insert(png->end(), body.begin(), body.end());
    Be32(png, Crc(body.data(), body.size()));
}

}  // namespace

Bytes Png(int width, int height, const Bytes& rgb) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Be32(&header, width);
    Be32(&header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(&png, "IHDR", header);
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
    }
    Bytes z = {0x78, 0x01};
    // Stored blocks of at most 65535 bytes, the last one marked final.
    size_t at = 0;
    do {
        const size_t n = std::min<size_t>(raw.size() - at, 65535);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Be32(&z, (b << 16) | a);
    Chunk(&png, "IDAT", z);
    Chunk(&png, "IEND", {});
    return png;
}
