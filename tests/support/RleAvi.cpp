#include "tests/support/RleAvi.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes* b, uint32_t v) {
    b->push_back(uint8_t(v));
    b->push_back(uint8_t(v >> 8));
}
void Put32(Bytes* b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutTag(Bytes* b, const char* tag) { b->insert(b->end(), tag, tag + 4); }
void PatchSize(Bytes* b, size_t at) {
    const uint32_t size = static_cast<uint32_t>(b->size() - at - 4);
    std::memcpy(b->data() + at, &size, 4);
}
size_t Open(Bytes* b, const char* tag, const char* list = nullptr) {
    PutTag(b, tag);
    const size_t at = b->size();
    Put32(b, 0);
    if (list)
        PutTag(b, list);
    return at;
}
void Close(Bytes* b, size_t at) {
    PatchSize(b, at);
    if (b->size() % 2)
        b->push_back(0);
}

}  // namespace

std::vector<uint8_t> FourFrameRleAvi(int width, int height) {
    constexpr uint32_t fps = kRleAviFramesPerSecond;
    const auto w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    Bytes b;
    const size_t riff = Open(&b, "RIFF", "AVI ");
    const size_t hdrl = Open(&b, "LIST", "hdrl");
    const size_t avih = Open(&b, "avih");
    for (uint32_t v : {1000000u / fps, 0u, 0u, 0x10u, 4u, 0u, 1u, 0u, w, h, 0u, 0u, 0u, 0u})
        Put32(&b, v);
    Close(&b, avih);
    const size_t strl = Open(&b, "LIST", "strl");
    const size_t strh = Open(&b, "strh");
    PutTag(&b, "vids");
    PutTag(&b, "mrle");
    for (uint32_t v : {0u, 0u, 0u, 1u, fps, 0u, 4u, 0u, 0xFFFFFFFFu, 0u})
        Put32(&b, v);
    for (uint32_t v : {0u, 0u, w, h})
        Put16(&b, v);
    Close(&b, strh);
    const size_t strf = Open(&b, "strf");
    for (uint32_t v : {40u, w, h})
        Put32(&b, v);
    Put16(&b, 1);
    Put16(&b, 8);
    for (uint32_t v : {1u /* BI_RLE8 */, 0u, 0u, 0u, 5u, 5u})
        Put32(&b, v);
    for (const auto& c : kRleAviPalette)
        b.insert(b.end(), {c[0], c[1], c[2], 0});
    Close(&b, strf);
    Close(&b, strl);
    Close(&b, hdrl);
    const size_t movi = Open(&b, "LIST", "movi");
    std::vector<std::pair<uint32_t, uint32_t>> index;
    for (uint8_t k = 0; k < 4; ++k) {
        // Runs of at most 255 pixels, each row ended, the frame ended.
        Bytes rle;
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; x += 255)
                rle.insert(rle.end(), {uint8_t(std::min<uint32_t>(255, w - x)), uint8_t(k + 1)});
            rle.insert(rle.end(), {0, 0});
        }
        rle.insert(rle.end(), {0, 1});
        index.emplace_back(static_cast<uint32_t>(b.size() - (movi + 4)), static_cast<uint32_t>(rle.size()));
        const size_t chunk = Open(&b, "00dc");
        b.insert(b.end(), rle.begin(), rle.end());
        Close(&b, chunk);
    }
    Close(&b, movi);
    const size_t idx1 = Open(&b, "idx1");
    for (const auto& [offset, size] : index) {
        PutTag(&b, "00dc");
        Put32(&b, 0x10);
        Put32(&b, offset);
        Put32(&b, size);
    }
    Close(&b, idx1);
    PatchSize(&b, riff);
    return b;
}
