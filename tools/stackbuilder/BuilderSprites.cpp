// Animated objects' stored records ('Sprt'), written field by field from the record's tables.
#include <stdexcept>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "graphics/pixels/PackedPictureHeader.h"
#include "format/StackFile.h"

namespace stackbuilder {

namespace {

using Bytes = std::vector<uint8_t>;

void PutBe16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v >> 8);
    b[at + 1] = uint8_t(v);
}
void PutBe32(Bytes& b, size_t at, uint32_t v) {
    PutBe16(b, at, v >> 16);
    PutBe16(b, at + 2, v);
}
void PutRect(Bytes& b, size_t at, Rect r) {  // stored top, left, bottom, right
    PutBe16(b, at, uint16_t(r.top));
    PutBe16(b, at + 2, uint16_t(r.left));
    PutBe16(b, at + 4, uint16_t(r.bottom));
    PutBe16(b, at + 6, uint16_t(r.right));
}
// The common head: tag, length, version 100, identity and owner pairs.
void PutHead(Bytes& b, uint32_t tag, uint32_t length, uint32_t kind, uint32_t number, uint32_t ownerNumber) {
    PutBe32(b, 0, tag);
    PutBe32(b, 4, length);
    PutBe16(b, 8, 100);
    PutBe32(b, 10, kind);
    PutBe32(b, 14, number);
    PutBe32(b, 18, kSprt);
    PutBe32(b, 22, ownerNumber);
}

Bytes PathBytes(const Sprite& s) {
    Bytes p(kPathFixedBytes + kPathPointBytes * s.path.size(), 0);
    PutHead(p, kPath, 0, ResType("path"), s.number + 1, s.number);
    PutBe16(p, kPathKind, 1);
    PutBe16(p, kPathFlag, 1);
    PutBe32(p, kPathPointCount, static_cast<uint32_t>(s.path.size()));
    for (size_t i = 0; i < s.path.size(); ++i) {
        const size_t at = kPathPoints + kPathPointBytes * i;
        PutBe16(p, at + kPointX, uint16_t(s.path[i].x));
        PutBe16(p, at + kPointY, uint16_t(s.path[i].y));
        PutBe32(p, at + kPointTime, s.path[i].time);
    }
    return p;
}

Rect WholeOf(const Picture& p) { return {0, 0, int16_t(p.width), int16_t(p.height)}; }

Bytes FilmBytes(const Sprite& s) {
    const SpriteFilm& f = s.film;
    std::vector<Rect> frames = f.frames;
    Bytes picture, frameBlock, mask;
    if (f.strip)
        picture = PackedPictureOf(*f.strip);
    if (f.mask)
        mask = PackedPictureOf(*f.mask);
    std::vector<std::pair<uint32_t, uint32_t>> places;  // kind 2: offset and length of frames 1...
    if (f.kind == kFilmPerFrame) {
        frames.assign(1 + f.framePictures.size(), f.strip ? WholeOf(*f.strip) : Rect{});
        for (const Picture& p : f.framePictures) {
            const Bytes packed = PackedPictureOf(p);
            places.push_back({uint32_t(frameBlock.size()), uint32_t(packed.size())});
            frameBlock.insert(frameBlock.end(), packed.begin(), packed.end());
        }
    } else if (f.kind == kFilmMovie) {
        frames.clear();  // stored without frames: the movie gives its box
        frameBlock = f.movieRef;
    }
    const size_t count = frames.size();
    Bytes b(kFilmFixedBytes + kFilmFrameBytes * count, 0);
    PutHead(b, kFilm, 0, ResType(f.kind == kFilmMovie ? "MooV" : "GIFs"), s.number + 2, s.number);
    b[kFilmMade] = 1;  // as made, not converted
    PutBe16(b, kFilmKind, f.kind);
    PutBe16(b, kFilmMaskState, f.maskState);
    PutBe16(b, kFilmTransparent, f.transparent.red);
    PutBe16(b, kFilmTransparent + 2, f.transparent.green);
    PutBe16(b, kFilmTransparent + 4, f.transparent.blue);
    PutBe32(b, kFilmFrameCount, uint32_t(count));
    PutBe32(b, kFilmPictureLength, uint32_t(picture.size()));
    PutBe32(b, kFilmFrameBlockLength, uint32_t(frameBlock.size()));
    PutBe32(b, kFilmMaskLength, uint32_t(mask.size()));
    const int width = count ? frames[0].right - frames[0].left : 0;
    const int height = count ? frames[0].bottom - frames[0].top : 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kFilmFrames + kFilmFrameBytes * i;
        PutRect(b, at + kFrameRect, frames[i]);
        PutBe16(b, at + kFrameAnchor, uint16_t(-(width / 2)));
        PutBe16(b, at + kFrameAnchor + 2, uint16_t(-(height / 2)));
        if (i > 0 && i - 1 < places.size()) {
            PutBe32(b, at + kFramePictureOffset, places[i - 1].first);
            PutBe32(b, at + kFramePictureLength, places[i - 1].second);
        }
    }
    for (const Bytes* block : {&picture, &frameBlock, &mask})
        b.insert(b.end(), block->begin(), block->end());
    if (b.size() % 2)
        b.push_back(0);
    return b;
}

}  // namespace

std::vector<uint8_t> PackedPictureOf(const Picture& p) {
    // A handle table of our own only when the caller has none, dropped again after.
    const bool ownTable = MemRefsCapacity() == 0;
    if (ownTable)
        InitMemRefs();
    DibHandle dib = NewDib(p.width, p.height, p.depth);
    Bytes out;
    {
        LockedDib locked(dib);
        if (!locked) {
            if (ownTable)
                FreeMemRefs();
            throw std::runtime_error("PackedPictureOf: no DIB");
        }
        const std::span<uint8_t> table = locked.table();
        for (size_t i = 0; i * 4 + 4 <= table.size(); ++i) {
            const Rgb c = i < p.palette.size() ? p.palette[i] : Rgb{uint8_t(255 - i), uint8_t(255 - i), uint8_t(255 - i)};
            table[4 * i] = c.blue;
            table[4 * i + 1] = c.green;
            table[4 * i + 2] = c.red;
        }
        for (int y = 0; y < p.height; ++y) {
            const std::span<uint8_t> row = locked.row(p.height - 1 - y);  // bottom row first
            for (int x = 0; x < p.width; ++x) {
                const uint32_t v = p.pixels[size_t(y) * p.width + x];
                switch (p.depth) {
                case 1: if (v & 1) row[x / 8] |= uint8_t(0x80 >> x % 8); break;
                case 8: row[x] = uint8_t(v); break;
                case 16: row[2 * x] = uint8_t(v); row[2 * x + 1] = uint8_t(v >> 8); break;
                default:
                    for (int k = 0; k < 4; ++k)
                        row[4 * x + k] = uint8_t(v >> (8 * k));
                }
            }
        }
    }
    Handle packed = 0;
    uint32_t total = 0;
    const Bytes table = p.depth == 8 ? MacColorTable(p) : Bytes{};
    const int result = PackDibAsPackedPicture(dib, kPPakLzrwRows, DibRowBytes(p.depth, p.width), table, &packed, &total);
    DisposeHandle(dib);
    out = HandleToBytes(packed);
    DisposeHandle(packed);
    if (ownTable)
        FreeMemRefs();
    if (result != 0)
        throw std::runtime_error("PackedPictureOf: the packer failed");
    return out;
}

std::vector<uint8_t> SpriteRecord(const Sprite& s) {
    Bytes header(kSpriteHeaderBytes, 0);
    const Bytes path = s.hasPath ? PathBytes(s) : Bytes{};
    const Bytes film = FilmBytes(s);
    PutHead(header, kSprt, kSpriteHeaderBytes, kSprt, s.number, 0);
    PutBe32(header, 18, ResType("????"));
    header[kSpriteFloatGoing] = header[kSpriteFloatReturning] = 1;
    PutBe32(header, kSpriteFrameScale, 100);
    PutBe32(header, kSpritePathScale, 100);
    PutBe32(header, kSpriteFrameRepeats, 1);
    PutBe32(header, kSpritePathRepeats, 1);
    const uint32_t frames = s.film.kind == kFilmPerFrame ? uint32_t(1 + s.film.framePictures.size())
                                                         : uint32_t(s.film.frames.size());
    const bool moving = s.path.size() > 1;
    PutBe16(header, kSpriteTemplate, uint16_t(moving ? (frames > 1 ? kTemplateFramesAndPath : kTemplatePathOnly)
                                                      : (frames > 1 ? kTemplateFramesOnly : kTemplateStill)));
    PutBe32(header, kSpriteEndFrame, frames);
    PutBe32(header, kSpriteEndPoint, uint32_t(s.path.size()));
    // The behaviour the plug-in gives a film and a path when they are set: frames step forward
    // on a 41 ms timer, a movie plays to its end, a path moves at its points' recorded times.
    if (s.film.kind == kFilmMovie) {
        PutBe16(header, kSpriteTemplate, kTemplateFramesOnly);
        PutBe16(header, kSpriteEndCondition, kEndsWithMovie);
        PutBe16(header, kSpriteFrameStep, kFrameStepMovie);
        PutBe16(header, kSpriteFrameTiming, kTimingEveryStep);
    } else if (frames > 1) {
        PutBe16(header, kSpriteFrameStep, kFrameStepForward);
        PutBe16(header, kSpriteFrameTiming, kTimingTimer);
        PutBe32(header, kSpriteFrameInterval, 41);
        PutBe32(header, kSpriteFrameIncrement, 1);
    }
    if (moving) {
        PutBe16(header, kSpritePathStep, kPathStepForward);
        PutBe16(header, kSpritePathTiming, kTimingTimer);
        PutBe16(header, kSpritePathSource, kPathSourceRecorded);
        PutBe32(header, kSpritePathInterval, 41);
        PutBe32(header, kSpritePathIncrement, 1);
    }
    PutBe32(header, kSpriteExtraLength, uint32_t(s.extra.size()));
    PutBe32(header, kSpritePathLength, uint32_t(path.size()));
    PutBe32(header, kSpriteFilmLength, uint32_t(film.size()));
    for (const Word& w : s.words)
        PutBe16(header, w.offset, w.value);
    for (const Long& l : s.longs)
        PutBe32(header, l.offset, l.value);
    Bytes record = header;
    for (const Bytes* part : {&s.extra, &path, &film})
        record.insert(record.end(), part->begin(), part->end());
    if (record.size() % 2)
        record.push_back(0);
    return record;
}

Object AnimationButton(uint16_t id, Rect rect, std::string name, std::vector<uint8_t> payload, int16_t destination) {
    Object b = ShapedButton(id, rect, std::move(name), kButtonShapeRectangle, 0, destination);
    b.words.push_back({20, static_cast<uint16_t>(0x80 | (destination ? 0x20 : 0))});
    Chunk c;
    c.kind = 56;
    c.id = id;
    c.rect = rect;
    c.payload = std::move(payload);
    b.chunks.push_back(c);
    return b;
}

}  // namespace stackbuilder
