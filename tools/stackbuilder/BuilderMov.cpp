// QuickTime movies written atom by atom: a video track of 'raw ', 'rle ' (Animation, encoded
// here: key frames and line-range updates) or 'jpeg' samples, and an optional 8-bit sound track.
#include <algorithm>

#include "BuilderMedia.h"

namespace stackbuilder {

namespace {

constexpr uint32_t kScale = 600;

void PatchBe32(Bytes* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = uint8_t(v >> (24 - 8 * i));
}

size_t Open(Bytes* b, const char (&type)[5]) {
    const size_t at = b->size();
    Be32(b, 0);
    Tag(b, type);
    return at;
}
void Close(Bytes* b, size_t at) { PatchBe32(b, at, uint32_t(b->size() - at)); }

void Append(Bytes* b, const Bytes& more) { b->insert(b->end(), more.begin(), more.end()); }

int BitsOf(const MovVideo& v) { return v.depth; }

// A row of pixels as the format packs them: indices high bits first, 5-5-5, RGB or ARGB,
// big-endian, padded with zeros to rowBytes.
Bytes PackRow(const MovVideo& v, const uint32_t* px, size_t rowBytes) {
    Bytes row(rowBytes, 0);
    const int bits = BitsOf(v);
    for (uint32_t x = 0; x < v.width; ++x) {
        const uint32_t p = px[x];
        if (bits <= 8) {
            const size_t bit = size_t(x) * bits;
            row[bit / 8] |= uint8_t((p & ((1u << bits) - 1)) << (8 - bits - bit % 8));
            continue;
        }
        const uint8_t r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
        uint8_t* out = &row[size_t(x) * (bits / 8)];
        if (bits == 16) {
            const auto q = [](uint8_t c) { return uint32_t((c * 31 + 127) / 255); };
            const uint32_t w = q(r) << 10 | q(g) << 5 | q(b);
            out[0] = uint8_t(w >> 8);
            out[1] = uint8_t(w);
        } else if (bits == 24) {
            out[0] = r, out[1] = g, out[2] = b;
        } else {
            out[0] = 0xFF, out[1] = r, out[2] = g, out[3] = b;
        }
    }
    return row;
}

// 'rle ' units: 4 bytes of indexed pixels, else one pixel.
size_t UnitBytes(const MovVideo& v) { return v.depth <= 8 ? 4 : v.depth / 8u; }
size_t UnitPixels(const MovVideo& v) { return v.depth <= 8 ? 32u / v.depth : 1; }

// One line above 1 bit: the units from the first that changed to the last, with skips over
// unchanged stretches, runs of equal units and literals.
void RleLine(const Bytes& now, const Bytes* before, size_t unitBytes, Bytes* out) {
    const size_t units = now.size() / unitBytes;
    const auto same = [&](size_t i) {
        return before && std::equal(now.begin() + i * unitBytes, now.begin() + (i + 1) * unitBytes, before->begin() + i * unitBytes);
    };
    const auto equalUnits = [&](size_t a, size_t b) {
        return std::equal(now.begin() + a * unitBytes, now.begin() + (a + 1) * unitBytes, now.begin() + b * unitBytes);
    };
    size_t x = 0;
    bool first = true;
    const auto skipTo = [&](size_t to) {
        // The line's first skip byte, then further ones after a 0 code, each 1 + up to 254 units.
        size_t gap = to - x;
        do {
            const size_t step = std::min<size_t>(gap, 254);
            if (!first)
                out->push_back(0);
            out->push_back(uint8_t(step + 1));
            first = false;
            gap -= step;
        } while (gap > 0);
        x = to;
    };
    while (x < units) {
        size_t from = x;
        while (from < units && same(from))
            ++from;
        if (from == units)
            break;
        if (from != x || first)
            skipTo(from);
        // A run of two or more equal units, else literals up to the next run or unchanged unit.
        size_t run = 1;
        while (x + run < units && run < 127 && equalUnits(x, x + run))
            ++run;
        if (run >= 2) {
            out->push_back(uint8_t(-int(run)));
            out->insert(out->end(), now.begin() + x * unitBytes, now.begin() + (x + 1) * unitBytes);
            x += run;
            continue;
        }
        size_t n = 1;
        while (x + n < units && n < 127 && !same(x + n) && !(x + n + 1 < units && equalUnits(x + n, x + n + 1)))
            ++n;
        out->push_back(uint8_t(n));
        out->insert(out->end(), now.begin() + x * unitBytes, now.begin() + (x + n) * unitBytes);
        x += n;
    }
    if (first)
        out->push_back(1);  // nothing changed: no skip
    out->push_back(0xFF);   // -1: the line's end
}

// One line at 1 bit: pairs of a skip byte (0x80 on the line's first: a new line) and a code, in
// 16-pixel units of two bytes.
void Rle1Line(const Bytes& now, const Bytes* before, Bytes* out) {
    const size_t units = now.size() / 2;
    const auto same = [&](size_t i) { return before && now[2 * i] == (*before)[2 * i] && now[2 * i + 1] == (*before)[2 * i + 1]; };
    size_t x = 0;
    bool first = true;
    const auto pair = [&](size_t skip, int8_t code) {
        out->push_back(uint8_t((first ? 0x80 : 0) | skip));
        out->push_back(uint8_t(code));
        first = false;
    };
    while (x < units) {
        size_t from = x;
        while (from < units && same(from))
            ++from;
        if (from == units)
            break;
        size_t skip = from - x;
        while (skip > 127) {
            pair(127, -1);
            skip -= 127;
        }
        x = from;
        size_t run = 1;
        while (x + run < units && run < 127 && now[2 * x] == now[2 * (x + run)] && now[2 * x + 1] == now[2 * (x + run) + 1])
            ++run;
        if (run >= 2) {
            pair(skip, int8_t(-int(run)));
            out->insert(out->end(), now.begin() + 2 * x, now.begin() + 2 * x + 2);
            x += run;
            continue;
        }
        size_t n = 1;
        while (x + n < units && n < 127 && !same(x + n))
            ++n;
        pair(skip, int8_t(n));
        out->insert(out->end(), now.begin() + 2 * x, now.begin() + 2 * (x + n));
        x += n;
    }
    if (first)
        pair(0, -1);
}

// A frame's lines packed into whole 'rle ' units.
std::vector<Bytes> RleRows(const MovVideo& v, const std::vector<uint32_t>& frame) {
    const size_t unitBytes = v.depth == 1 ? 2 : UnitBytes(v), unitPixels = v.depth == 1 ? 16 : UnitPixels(v);
    const size_t rowBytes = (v.width + unitPixels - 1) / unitPixels * unitBytes;
    std::vector<Bytes> rows;
    for (uint32_t y = 0; y < v.height; ++y)
        rows.push_back(PackRow(v, frame.data() + size_t(y) * v.width, rowBytes));
    return rows;
}

Bytes RleSample(const MovVideo& v, const std::vector<Bytes>& now, const std::vector<Bytes>* before) {
    size_t first = 0, last = now.size();
    if (before) {
        while (first < now.size() && now[first] == (*before)[first])
            ++first;
        if (first == now.size())
            return {0, 0, 0, 4};  // nothing changed: the size alone
        while (last > first && now[last - 1] == (*before)[last - 1])
            --last;
    }
    Bytes b;
    Be32(&b, 0);
    if (before) {
        Be16(&b, 0x0008);
        Be16(&b, uint32_t(first));
        Be16(&b, 0);
        Be16(&b, uint32_t(last - first));
        Be16(&b, 0);
    } else {
        Be16(&b, 0);
    }
    for (size_t y = first; y < last; ++y) {
        const Bytes* prior = before ? &(*before)[y] : nullptr;
        if (v.depth == 1)
            Rle1Line(now[y], prior, &b);
        else
            RleLine(now[y], prior, UnitBytes(v), &b);
    }
    if (v.depth == 1)
        b.insert(b.end(), {0, 0});
    PatchBe32(&b, 0, uint32_t(b.size()));
    return b;
}

bool IsKey(const MovVideo& v, size_t k) { return v.codec != MovCodec::Rle || k == 0 || (v.keyEvery && k % v.keyEvery == 0); }

Bytes ImageDescription(const MovVideo& v) {
    Bytes d;
    Be32(&d, 0);
    switch (v.codec) {
    case MovCodec::Raw: Tag(&d, "raw "); break;
    case MovCodec::Rle: Tag(&d, "rle "); break;
    case MovCodec::Jpeg: Tag(&d, "jpeg"); break;
    case MovCodec::Stored: Tag(&d, v.storedFormat); break;
    }
    d.insert(d.end(), 6, 0);
    Be16(&d, 1);  // data reference
    Be16(&d, 0);  // version
    Be16(&d, 0);  // revision
    Tag(&d, "loom");
    Be32(&d, 0);      // temporal quality
    Be32(&d, 0x200);  // spatial quality: normal
    Be16(&d, v.width);
    Be16(&d, v.height);
    Be32(&d, 72u << 16);
    Be32(&d, 72u << 16);
    Be32(&d, 0);  // data size
    Be16(&d, 1);  // frames a sample
    Bytes name(32, 0);
    name[0] = 4;
    std::copy_n("loom", 4, name.begin() + 1);
    Append(&d, name);
    Be16(&d, v.depth);
    const bool table = v.depth <= 8 && !v.colours.empty();
    Be16(&d, table ? 0 : 0xFFFF);
    if (table) {
        Be32(&d, 0);  // seed
        Be16(&d, 0);  // flags: entries name their index
        Be16(&d, uint32_t(v.colours.size() - 1));
        for (size_t i = 0; i < v.colours.size(); ++i) {
            Be16(&d, uint32_t(i));
            for (int shift : {16, 8, 0})
                Be16(&d, ((v.colours[i] >> shift) & 0xFF) * 257);
        }
    }
    PatchBe32(&d, 0, uint32_t(d.size()));
    return d;
}

Bytes SoundDescription() {
    Bytes d;
    Be32(&d, 36);
    Tag(&d, "raw ");
    d.insert(d.end(), 6, 0);
    Be16(&d, 1);
    Be16(&d, 0);
    Be16(&d, 0);
    Be32(&d, 0);
    Be16(&d, 1);  // mono
    Be16(&d, 8);  // bits
    Be16(&d, 0);
    Be16(&d, 0);
    return d;  // the rate follows, written by the caller
}

void FullHeader(Bytes* b, uint32_t flags) { Be32(b, flags); }

void Matrix(Bytes* b) {
    for (uint32_t v : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u})
        Be32(b, v);
}

struct TrackData {
    const char* handler;
    uint32_t timeScale;
    Bytes description;
    std::vector<uint32_t> sizes;      // per sample
    std::vector<uint32_t> offsets;    // per chunk
    std::vector<uint32_t> perChunk;   // samples per chunk (1 for video, all for sound)
    uint32_t sampleDuration;
    std::vector<uint32_t> sync;       // from 1; empty: no 'stss'
    std::vector<int32_t> composition;
    uint32_t width = 0, height = 0;   // pixels
    uint32_t emptyEdit = 0;
    int32_t mediaStart = -1;
};

void Track(Bytes* b, const TrackData& t, uint32_t id, uint32_t movieDuration) {
    const size_t trak = Open(b, "trak");
    const size_t tkhd = Open(b, "tkhd");
    FullHeader(b, 0xF);
    b->insert(b->end(), 8, 0);
    Be32(b, id);
    Be32(b, 0);
    Be32(b, movieDuration);
    b->insert(b->end(), 12, 0);
    Be16(b, t.width ? 0 : 0x100);
    Be16(b, 0);
    Matrix(b);
    Be32(b, t.width << 16);
    Be32(b, t.height << 16);
    Close(b, tkhd);
    if (t.mediaStart >= 0) {
        const size_t edts = Open(b, "edts");
        const size_t elst = Open(b, "elst");
        FullHeader(b, 0);
        Be32(b, t.emptyEdit ? 2 : 1);
        if (t.emptyEdit) {
            Be32(b, t.emptyEdit);
            Be32(b, 0xFFFFFFFF);
            Be32(b, 0x10000);
        }
        Be32(b, movieDuration - t.emptyEdit);
        Be32(b, uint32_t(t.mediaStart));
        Be32(b, 0x10000);
        Close(b, elst);
        Close(b, edts);
    }
    const size_t mdia = Open(b, "mdia");
    const size_t mdhd = Open(b, "mdhd");
    FullHeader(b, 0);
    b->insert(b->end(), 8, 0);
    Be32(b, t.timeScale);
    Be32(b, uint32_t(t.sizes.size()) * t.sampleDuration);
    Be32(b, 0);
    Close(b, mdhd);
    const size_t hdlr = Open(b, "hdlr");
    FullHeader(b, 0);
    Tag(b, "mhlr");
    b->insert(b->end(), t.handler, t.handler + 4);
    b->insert(b->end(), 13, 0);
    Close(b, hdlr);
    const size_t minf = Open(b, "minf");
    if (t.width) {
        const size_t vmhd = Open(b, "vmhd");
        FullHeader(b, 1);
        Be16(b, 0x40);
        b->insert(b->end(), 6, 0x80);
        Close(b, vmhd);
    } else {
        const size_t smhd = Open(b, "smhd");
        FullHeader(b, 0);
        Be32(b, 0);
        Close(b, smhd);
    }
    const size_t stbl = Open(b, "stbl");
    const size_t stsd = Open(b, "stsd");
    FullHeader(b, 0);
    Be32(b, 1);
    Append(b, t.description);
    Close(b, stsd);
    const size_t stts = Open(b, "stts");
    FullHeader(b, 0);
    Be32(b, 1);
    Be32(b, uint32_t(t.sizes.size()));
    Be32(b, t.sampleDuration);
    Close(b, stts);
    if (!t.sync.empty()) {
        const size_t stss = Open(b, "stss");
        FullHeader(b, 0);
        Be32(b, uint32_t(t.sync.size()));
        for (uint32_t s : t.sync)
            Be32(b, s);
        Close(b, stss);
    }
    if (!t.composition.empty()) {
        const size_t ctts = Open(b, "ctts");
        FullHeader(b, 0);
        Be32(b, uint32_t(t.composition.size()));
        for (int32_t c : t.composition) {
            Be32(b, 1);
            Be32(b, uint32_t(c));
        }
        Close(b, ctts);
    }
    const size_t stsc = Open(b, "stsc");
    FullHeader(b, 0);
    Be32(b, 1);
    Be32(b, 1);
    Be32(b, t.perChunk[0]);
    Be32(b, 1);
    Close(b, stsc);
    const size_t stsz = Open(b, "stsz");
    FullHeader(b, 0);
    const bool equal = std::all_of(t.sizes.begin(), t.sizes.end(), [&](uint32_t s) { return s == t.sizes[0]; });
    Be32(b, equal ? t.sizes[0] : 0);
    Be32(b, uint32_t(t.sizes.size()));
    if (!equal)
        for (uint32_t s : t.sizes)
            Be32(b, s);
    Close(b, stsz);
    const size_t stco = Open(b, "stco");
    FullHeader(b, 0);
    Be32(b, uint32_t(t.offsets.size()));
    for (uint32_t o : t.offsets)
        Be32(b, o);
    Close(b, stco);
    Close(b, stbl);
    Close(b, minf);
    Close(b, mdia);
    Close(b, trak);
}

}  // namespace

std::vector<std::vector<uint8_t>> MovVideoSamples(const MovVideo& v) {
    if (v.codec == MovCodec::Stored)
        return v.storedSamples;
    std::vector<Bytes> samples;
    std::vector<Bytes> before;
    for (size_t k = 0; k < v.frames.size(); ++k) {
        const std::vector<uint32_t>& frame = v.frames[k];
        switch (v.codec) {
        case MovCodec::Raw: {
            const size_t rowBytes = (size_t(v.width) * v.depth + 7) / 8;
            Bytes s;
            for (uint32_t y = 0; y < v.height; ++y)
                Append(&s, PackRow(v, frame.data() + size_t(y) * v.width, rowBytes));
            samples.push_back(std::move(s));
            break;
        }
        case MovCodec::Rle: {
            std::vector<Bytes> rows = RleRows(v, frame);
            samples.push_back(RleSample(v, rows, IsKey(v, k) ? nullptr : &before));
            before = std::move(rows);
            break;
        }
        case MovCodec::Jpeg: samples.push_back(v.jpeg ? v.jpeg(frame, v.width, v.height) : Bytes{}); break;
        case MovCodec::Stored: break;
        }
    }
    return samples;
}

std::vector<uint8_t> MovFile(const MovVideo& v, const MovSound* sound) {
    const std::vector<Bytes> samples = MovVideoSamples(v);
    Bytes b;
    const size_t mdat = Open(&b, "mdat");
    TrackData video{"vide", kScale, ImageDescription(v), {}, {}, {1}, kScale / v.fps, {}, v.compositionOffsets,
                    v.width, v.height, v.emptyEdit, v.mediaStart};
    for (size_t k = 0; k < samples.size(); ++k) {
        video.offsets.push_back(uint32_t(b.size()));
        video.sizes.push_back(uint32_t(samples[k].size()));
        Append(&b, samples[k]);
        if (IsKey(v, k) && v.codec == MovCodec::Rle && v.keyEvery)
            video.sync.push_back(uint32_t(k + 1));
    }
    if (v.codec == MovCodec::Rle && !v.keyEvery)
        video.sync = {1};
    TrackData audio{"soun", sound ? sound->rate : 1, {}, {}, {}, {}, 1, {}, {}, 0, 0, 0, -1};
    if (sound) {
        audio.description = SoundDescription();
        Be32(&audio.description, sound->rate << 16);
        audio.offsets.push_back(uint32_t(b.size()));
        audio.sizes.assign(sound->samples.size(), 1);
        audio.perChunk = {uint32_t(sound->samples.size())};
        Append(&b, sound->samples);
    }
    Close(&b, mdat);
    const uint32_t duration = v.emptyEdit + uint32_t(samples.size()) * (kScale / v.fps);
    const size_t moov = Open(&b, "moov");
    const size_t mvhd = Open(&b, "mvhd");
    FullHeader(&b, 0);
    b.insert(b.end(), 8, 0);
    Be32(&b, kScale);
    Be32(&b, duration);
    Be32(&b, 0x10000);
    Be16(&b, 0x100);
    b.insert(b.end(), 10, 0);
    Matrix(&b);
    b.insert(b.end(), 24, 0);
    Be32(&b, sound ? 3 : 2);
    Close(&b, mvhd);
    Track(&b, video, 1, duration);
    if (sound) {
        const uint32_t soundDuration = uint32_t(uint64_t(sound->samples.size()) * kScale / sound->rate);
        Track(&b, audio, 2, soundDuration);
    }
    Close(&b, moov);
    return b;
}

}  // namespace stackbuilder
