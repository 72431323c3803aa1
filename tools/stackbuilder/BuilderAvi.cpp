// AVI files written chunk by chunk: one 8-bit video stream, each frame one palette colour, and
// a sound stream when given.
#include "BuilderMedia.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "StackBuilder.h"

namespace stackbuilder {

namespace {

size_t OpenChunk(Bytes* b, const char (&tag)[5], const char* list = nullptr) {
    Tag(b, tag);
    const size_t at = b->size();
    Le32(b, 0);
    if (list) {
        const char form[5] = {list[0], list[1], list[2], list[3], 0};
        Tag(b, form);
    }
    return at;
}

void CloseChunk(Bytes* b, size_t at) {
    const uint32_t size = static_cast<uint32_t>(b->size() - at - 4);
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = uint8_t(size >> (8 * i));
    if (b->size() % 2)
        b->push_back(0);
}

Bytes FramePixels(uint32_t width, uint32_t height, uint8_t index, bool rle) {
    Bytes p;
    if (!rle) {
        const uint32_t stride = (width + 3) & ~3u;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < stride; ++x)
                p.push_back(x < width ? index : 0);
        return p;
    }
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t left = width; left > 0;) {
            const uint32_t run = left > 255 ? 255 : left;
            p.push_back(uint8_t(run));
            p.push_back(index);
            left -= run;
        }
        p.insert(p.end(), {0, 0});  // end of line
    }
    p.insert(p.end(), {0, 1});  // end of bitmap
    return p;
}

}  // namespace

std::vector<uint8_t> AviFile(uint32_t width, uint32_t height, uint32_t fps, std::span<const AviColour> frames, bool rle,
                             const AviSound* sound) {
    const uint32_t count = static_cast<uint32_t>(frames.size());
    const uint32_t colours = count + 1;  // entry 0 black, entry k + 1 frame k
    Bytes b;
    const size_t riff = OpenChunk(&b, "RIFF", "AVI ");
    const size_t hdrl = OpenChunk(&b, "LIST", "hdrl");
    const size_t avih = OpenChunk(&b, "avih");
    for (uint32_t v : {1000000u / fps, 0u, 0u, 0x10u /* has index */, count, 0u, sound ? 2u : 1u, 0u, width, height, 0u, 0u,
                       0u, 0u})
        Le32(&b, v);
    CloseChunk(&b, avih);
    const size_t strl = OpenChunk(&b, "LIST", "strl");
    const size_t strh = OpenChunk(&b, "strh");
    Tag(&b, "vids");
    if (rle)
        Tag(&b, "mrle");
    else
        Tag(&b, "DIB ");
    for (uint32_t v : {0u, 0u, 0u, 1u, fps, 0u, count, 0u, 0xFFFFFFFFu, 0u})
        Le32(&b, v);
    for (uint32_t v : {0u, 0u, width, height})
        Le16(&b, v);
    CloseChunk(&b, strh);
    const size_t strf = OpenChunk(&b, "strf");
    for (uint32_t v : {40u, width, height})
        Le32(&b, v);
    Le16(&b, 1);
    Le16(&b, 8);
    const uint32_t stride = (width + 3) & ~3u;
    for (uint32_t v : {rle ? 1u : 0u, rle ? 0u : stride * height, 0u, 0u, colours, colours})
        Le32(&b, v);
    b.insert(b.end(), {0, 0, 0, 0});
    for (const AviColour& c : frames)
        b.insert(b.end(), {c.blue, c.green, c.red, 0});
    CloseChunk(&b, strf);
    CloseChunk(&b, strl);
    // The sound: its block is a whole number of bytes even below 8 bits, as encoders write it.
    const uint32_t block = sound ? std::max<uint32_t>(1, sound->channels * ((sound->bits + 7u) / 8u)) : 0;
    if (sound) {
        const size_t audio = OpenChunk(&b, "LIST", "strl");
        const size_t ah = OpenChunk(&b, "strh");
        Tag(&b, "auds");
        Le32(&b, 0);
        const uint32_t length = static_cast<uint32_t>(sound->samples.size() / block);
        for (uint32_t v : {0u, 0u, 0u, block, sound->rate * block, 0u, length, 0u, 0xFFFFFFFFu, block})
            Le32(&b, v);
        for (uint32_t v : {0u, 0u, 0u, 0u})
            Le16(&b, v);
        CloseChunk(&b, ah);
        const size_t af = OpenChunk(&b, "strf");
        Le16(&b, sound->tag);
        Le16(&b, sound->channels);
        Le32(&b, sound->rate);
        Le32(&b, sound->rate * block);
        Le16(&b, block);
        Le16(&b, sound->bits);
        Le16(&b, 0);
        CloseChunk(&b, af);
        CloseChunk(&b, audio);
    }
    CloseChunk(&b, hdrl);
    const size_t movi = OpenChunk(&b, "LIST", "movi");
    std::vector<std::tuple<const char*, uint32_t, uint32_t>> index;
    const char* frameTag = rle ? "00dc" : "00db";
    for (uint32_t k = 0; k < count; ++k) {
        if (sound) {  // the sound in as many pieces as there are frames, each before its frame
            const size_t from = sound->samples.size() * k / count, to = sound->samples.size() * (k + 1) / count;
            index.emplace_back("01wb", static_cast<uint32_t>(b.size() - (movi + 4)), static_cast<uint32_t>(to - from));
            const size_t chunk = OpenChunk(&b, "01wb");
            b.insert(b.end(), sound->samples.begin() + from, sound->samples.begin() + to);
            CloseChunk(&b, chunk);
        }
        const Bytes pixels = FramePixels(width, height, uint8_t(k + 1), rle);
        index.emplace_back(frameTag, static_cast<uint32_t>(b.size() - (movi + 4)), static_cast<uint32_t>(pixels.size()));
        const size_t chunk = rle ? OpenChunk(&b, "00dc") : OpenChunk(&b, "00db");
        b.insert(b.end(), pixels.begin(), pixels.end());
        CloseChunk(&b, chunk);
    }
    CloseChunk(&b, movi);
    const size_t idx1 = OpenChunk(&b, "idx1");
    for (const auto& [tag, offset, size] : index) {
        const char id[5] = {tag[0], tag[1], tag[2], tag[3], 0};
        Tag(&b, id);
        Le32(&b, 0x10);  // key frame
        Le32(&b, offset);
        Le32(&b, size);
    }
    CloseChunk(&b, idx1);
    CloseChunk(&b, riff);
    return b;
}

std::vector<uint8_t> DemoMovie() {
    std::vector<AviColour> frames;
    for (int k = 0; k < 12; ++k)  // red to blue through green
        frames.push_back({uint8_t(k < 6 ? 255 - k * 42 : 0), uint8_t(k < 6 ? k * 42 : 255 - (k - 6) * 42),
                          uint8_t(k < 6 ? 0 : (k - 6) * 42)});
    return AviFile(120, 90, 12, frames, true);
}

}  // namespace stackbuilder
