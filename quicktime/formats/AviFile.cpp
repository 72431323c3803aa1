// AVI chunks: a RIFF walk bounded by each parent's size and the file's, two levels deep.
#include "quicktime/formats/AviFile.h"

#include <algorithm>

#include "quicktime/QtTypes.h"

namespace {

uint32_t Le32(std::span<const uint8_t> b, size_t at) {
    return b.size() < at + 4 ? 0 : uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t Le16(std::span<const uint8_t> b, size_t at) { return b.size() < at + 2 ? 0 : uint16_t(b[at] | b[at + 1] << 8); }

// A tag as QtFourCC names it: its first character in the high byte.
uint32_t Tag(std::span<const uint8_t> b, size_t at) {
    return b.size() < at + 4 ? 0 : uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

struct Chunk {
    uint32_t id = 0;
    uint32_t listType = 0;  // for 'LIST' and 'RIFF'
    uint64_t data = 0;      // where its data starts (after the list type for lists)
    uint64_t size = 0;      // its data's bytes, within its parent
};

// Calls `each` for every chunk between begin and end; the walk stops when `each` says false.
template <class Each>
void WalkChunks(const AviRead& read, uint64_t begin, uint64_t end, Each each) {
    uint64_t at = begin;
    while (at + 8 <= end) {
        uint8_t head[12];
        if (!read(at, {head, 8}))
            return;
        Chunk c;
        c.id = Tag(head, 0);
        c.data = at + 8;
        c.size = std::min<uint64_t>(Le32(head, 4), end - c.data);
        const uint64_t next = c.data + c.size + (c.size & 1);
        if (c.id == QtFourCC("LIST") || c.id == QtFourCC("RIFF")) {
            if (c.size < 4 || !read(c.data, {head + 8, 4}))
                return;
            c.listType = Tag(head, 8);
            c.data += 4;
            c.size -= 4;
        }
        if (!each(c))
            return;
        at = next;
    }
}

bool ReadBytes(const AviRead& read, const Chunk& c, size_t most, std::vector<uint8_t>* out) {
    out->resize(static_cast<size_t>(std::min<uint64_t>(c.size, most)));
    return out->empty() || read(c.data, *out);
}

AviStream ReadStreamList(const AviRead& read, const Chunk& strl) {
    AviStream s;
    WalkChunks(read, strl.data, strl.data + strl.size, [&](const Chunk& c) {
        std::vector<uint8_t> bytes;
        if (c.id == QtFourCC("strh") && ReadBytes(read, c, 36, &bytes) && bytes.size() >= 36) {
            s.type = Tag(bytes, 0);
            s.handler = Le32(bytes, 4);
            s.scale = Le32(bytes, 20);
            s.rate = Le32(bytes, 24);
            s.start = Le32(bytes, 28);
            s.length = Le32(bytes, 32);
        } else if (c.id == QtFourCC("strf") && s.format.empty()) {
            if (!ReadBytes(read, c, kAviMaxFormat, &s.format))
                s.format.clear();
        }
        return true;
    });
    return s;
}

// The 'AVI ' form's extent, or false.
bool AviForm(const AviRead& read, uint64_t size, Chunk* form) {
    bool found = false;
    WalkChunks(read, 0, size, [&](const Chunk& c) {
        found = c.id == QtFourCC("RIFF") && c.listType == QtFourCC("AVI ");
        *form = c;
        return false;
    });
    return found;
}

int HexDigit(uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The stream number a data chunk's id begins with, or -1.
int StreamNumberOf(uint32_t id) {
    const int high = HexDigit(uint8_t(id >> 24)), low = HexDigit(uint8_t(id >> 16));
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

}  // namespace

bool ReadAviStreams(const AviRead& read, uint64_t size, std::vector<AviStream>* streams) {
    streams->clear();
    Chunk form;
    if (!AviForm(read, size, &form))
        return false;
    WalkChunks(read, form.data, form.data + form.size, [&](const Chunk& hdrl) {
        if (hdrl.listType != QtFourCC("hdrl"))
            return true;
        WalkChunks(read, hdrl.data, hdrl.data + hdrl.size, [&](const Chunk& c) {
            if (c.listType == QtFourCC("strl"))
                streams->push_back(ReadStreamList(read, c));
            return streams->size() < kAviMaxStreams;
        });
        return false;
    });
    return true;
}

std::vector<uint8_t> ReadAviStreamData(const AviRead& read, uint64_t size, uint32_t number, size_t cap) {
    std::vector<uint8_t> data;
    Chunk form;
    if (!AviForm(read, size, &form))
        return data;
    const auto take = [&](const Chunk& c) {
        if (c.listType == 0 && StreamNumberOf(c.id) == int(number) && c.size > 0) {
            const size_t at = data.size();
            const size_t n = static_cast<size_t>(std::min<uint64_t>(c.size, cap - at));
            data.resize(at + n);
            if (!read(c.data, {data.data() + at, n}))
                data.resize(at);
        }
        return data.size() < cap;
    };
    WalkChunks(read, form.data, form.data + form.size, [&](const Chunk& movi) {
        if (movi.listType != QtFourCC("movi"))
            return true;
        WalkChunks(read, movi.data, movi.data + movi.size, [&](const Chunk& c) {
            if (c.listType != QtFourCC("rec "))
                return take(c);
            bool more = true;
            WalkChunks(read, c.data, c.data + c.size, [&](const Chunk& inner) { return more = take(inner); });
            return more;
        });
        return false;
    });
    return data;
}

AviSoundFormat ReadAviSoundFormat(const AviStream& stream) {
    AviSoundFormat f;
    const std::span<const uint8_t> b = stream.format;
    if (b.size() >= 16)
        f = {Le16(b, 0), Le16(b, 2), Le32(b, 4), Le16(b, 14)};
    return f;
}

AviPictureFormat ReadAviPictureFormat(const AviStream& stream) {
    const std::span<const uint8_t> b = stream.format;
    return {static_cast<int32_t>(Le32(b, 4)), static_cast<int32_t>(Le32(b, 8)), Le16(b, 14), Le32(b, 16)};
}
