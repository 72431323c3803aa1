// Reading a movie file: the atom walk, the movie and track headers, the sample tables.
#include "quicktime/formats/MovieFile.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kMoov = QtAtomType("moov");
constexpr uint32_t kCmov = QtAtomType("cmov");
constexpr uint32_t kMvhd = QtAtomType("mvhd");
constexpr uint32_t kTrak = QtAtomType("trak");
constexpr uint32_t kTkhd = QtAtomType("tkhd");
constexpr uint32_t kMdia = QtAtomType("mdia");
constexpr uint32_t kMdhd = QtAtomType("mdhd");
constexpr uint32_t kHdlr = QtAtomType("hdlr");
constexpr uint32_t kMinf = QtAtomType("minf");
constexpr uint32_t kStbl = QtAtomType("stbl");
constexpr uint32_t kStsd = QtAtomType("stsd");
constexpr uint32_t kStts = QtAtomType("stts");
constexpr uint32_t kStsc = QtAtomType("stsc");
constexpr uint32_t kStsz = QtAtomType("stsz");
constexpr uint32_t kStco = QtAtomType("stco");
constexpr uint32_t kStss = QtAtomType("stss");
constexpr uint32_t kCtts = QtAtomType("ctts");
constexpr uint32_t kCo64 = QtAtomType("co64");
constexpr uint32_t kEdts = QtAtomType("edts");
constexpr uint32_t kElst = QtAtomType("elst");
constexpr uint32_t kUdta = QtAtomType("udta");
constexpr uint32_t kCtyp = QtAtomType("ctyp");

struct Atom {
    uint32_t type;
    std::span<const uint8_t> body;
};

// The atoms of a container in order: a 32-bit size (1: a 64-bit size follows; 0: to the end)
// and a type. A size too small or too large ends the walk; what came before it is kept.
std::vector<Atom> Atoms(std::span<const uint8_t> bytes) {
    std::vector<Atom> atoms;
    ByteReader r(bytes);
    while (r.remaining() >= 8) {
        const size_t start = r.position();
        uint64_t size = r.U32BE();
        const uint32_t type = r.U32BE();
        if (size == 1) {
            const uint64_t high = r.U32BE();
            size = high << 32 | r.U32BE();
        } else if (size == 0) {
            size = bytes.size() - start;
        }
        const size_t header = r.position() - start;
        if (!r.ok() || size < header || size > bytes.size() - start)
            break;
        atoms.push_back({type, bytes.subspan(r.position(), static_cast<size_t>(size) - header)});
        r.Seek(start + static_cast<size_t>(size));
    }
    return atoms;
}

std::span<const uint8_t> Child(std::span<const uint8_t> container, uint32_t type, bool* found = nullptr) {
    for (const Atom& a : Atoms(container))
        if (a.type == type) {
            if (found)
                *found = true;
            return a.body;
        }
    if (found)
        *found = false;
    return {};
}

// The entry count of a full atom's table, cut to the entries its bytes hold.
uint32_t TableCount(ByteReader& r, size_t entryBytes) {
    r.Skip(4);  // version and flags
    const uint32_t count = r.U32BE();
    return static_cast<uint32_t>(std::min<size_t>(count, r.remaining() / entryBytes));
}

void ReadTrackHeader(std::span<const uint8_t> body, MovieTrack* t) {
    ByteReader r(body);
    const uint8_t version = r.U8();
    t->flags = uint32_t{r.U8()} << 16 | r.U16BE();
    r.Skip(version == 1 ? 16 : 8);  // creation and modification times
    t->id = r.U32BE();
    r.Skip(4);
    if (version == 1) {
        const uint64_t duration = uint64_t{r.U32BE()} << 32 | r.U32BE();
        t->duration = static_cast<uint32_t>(std::min<uint64_t>(duration, UINT32_MAX));
    } else {
        t->duration = r.U32BE();
    }
    r.Skip(8 + 4);  // reserved, layer and alternate group
    t->volume = r.U16BE();
    r.Skip(2 + 24);  // reserved, matrix up to its translation
    t->left = static_cast<int32_t>(r.U32BE());
    t->top = static_cast<int32_t>(r.U32BE());
    r.Skip(4);
    t->width = static_cast<int32_t>(r.U32BE());
    t->height = static_cast<int32_t>(r.U32BE());
    if (!r.ok())
        t->width = t->height = 0;
}

void ReadMediaHeader(std::span<const uint8_t> body, MovieTrack* t) {
    ByteReader r(body);
    const uint8_t version = r.U8();
    r.Skip(3 + (version == 1 ? 16 : 8));
    t->mediaTimeScale = r.U32BE();
    t->mediaDuration = version == 1 ? (uint64_t{r.U32BE()} << 32 | r.U32BE()) : r.U32BE();
    if (!r.ok())
        t->mediaTimeScale = 0;
}

void ReadSampleTable(std::span<const uint8_t> stbl, MovieTrack* t) {
    {
        ByteReader r(Child(stbl, kStsd));
        const uint32_t count = TableCount(r, 16);
        for (uint32_t i = 0; i < count && r.remaining() >= 16; ++i) {
            const size_t start = r.position();
            const uint32_t size = r.U32BE();
            if (size < 16 || size > r.remaining() + 4)
                break;
            MovieSampleDescription d;
            d.format = r.U32BE();
            r.Skip(6);
            d.dataReference = r.U16BE();
            r.Seek(start);
            d.bytes = r.Bytes(size);
            t->descriptions.push_back(d);
        }
    }
    {
        ByteReader r(Child(stbl, kStts));
        const uint32_t count = TableCount(r, 8);
        t->timeToSample.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            t->timeToSample.push_back({r.U32BE(), r.U32BE()});
    }
    {
        ByteReader r(Child(stbl, kStsc));
        const uint32_t count = TableCount(r, 12);
        t->sampleToChunk.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            t->sampleToChunk.push_back({r.U32BE(), r.U32BE(), r.U32BE()});
    }
    {
        ByteReader r(Child(stbl, kStsz));
        r.Skip(4);
        t->sampleSize = r.U32BE();
        t->sampleCount = r.U32BE();
        if (t->sampleSize == 0) {
            t->sampleCount = static_cast<uint32_t>(std::min<size_t>(t->sampleCount, r.remaining() / 4));
            t->sampleSizes.reserve(t->sampleCount);
            for (uint32_t i = 0; i < t->sampleCount; ++i)
                t->sampleSizes.push_back(r.U32BE());
        }
        if (!r.ok())
            t->sampleCount = 0;
    }
    {
        ByteReader r(Child(stbl, kStss, &t->hasSyncTable));
        const uint32_t count = TableCount(r, 4);
        t->syncSamples.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            t->syncSamples.push_back(r.U32BE());
    }
    {
        ByteReader r(Child(stbl, kCtts));
        const uint32_t count = TableCount(r, 8);
        t->compositionOffsets.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            t->compositionOffsets.push_back({r.U32BE(), static_cast<int32_t>(r.U32BE())});
    }
    bool wide = false;
    std::span<const uint8_t> offsets = Child(stbl, kStco);
    if (offsets.empty()) {
        offsets = Child(stbl, kCo64);
        wide = true;
    }
    ByteReader r(offsets);
    const uint32_t count = TableCount(r, wide ? 8 : 4);
    t->chunkOffsets.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        t->chunkOffsets.push_back(wide ? (uint64_t{r.U32BE()} << 32 | r.U32BE()) : r.U32BE());
}

void ReadEdits(std::span<const uint8_t> elst, MovieTrack* t) {
    ByteReader r(elst);
    const bool wide = r.U8() == 1;
    r.Skip(3);
    const uint32_t count = std::min<size_t>(r.U32BE(), r.remaining() / (wide ? 20 : 12));
    for (uint32_t i = 0; i < count; ++i) {
        MovieEdit e;
        if (wide) {
            const uint64_t duration = uint64_t{r.U32BE()} << 32 | r.U32BE();
            const uint64_t time = uint64_t{r.U32BE()} << 32 | r.U32BE();
            e.duration = static_cast<uint32_t>(std::min<uint64_t>(duration, UINT32_MAX));
            const auto signedTime = static_cast<int64_t>(time);
            e.mediaTime = static_cast<int32_t>(std::clamp<int64_t>(signedTime, -1, INT32_MAX));
        } else {
            e.duration = r.U32BE();
            e.mediaTime = static_cast<int32_t>(r.U32BE());
        }
        e.rate = static_cast<int32_t>(r.U32BE());
        t->edits.push_back(e);
    }
}

MovieTrack ReadTrack(std::span<const uint8_t> trak) {
    MovieTrack t;
    ReadTrackHeader(Child(trak, kTkhd), &t);
    ReadEdits(Child(Child(trak, kEdts), kElst), &t);
    const std::span<const uint8_t> mdia = Child(trak, kMdia);
    ReadMediaHeader(Child(mdia, kMdhd), &t);
    t.mediaType = GetBE32(Child(mdia, kHdlr), 8);
    ReadSampleTable(Child(Child(mdia, kMinf), kStbl), &t);
    return t;
}

}  // namespace

MovieRefusal ReadMovieFile(std::span<const uint8_t> file, MovieFileInfo* info) {
    *info = {};
    bool found = false;
    const std::span<const uint8_t> moov = Child(file, kMoov, &found);
    if (!found)
        return MovieRefusal::NoMovie;
    bool headerFound = false;
    const std::span<const uint8_t> mvhd = Child(moov, kMvhd, &headerFound);
    if (!headerFound) {
        bool compressed = false;
        Child(moov, kCmov, &compressed);
        return compressed ? MovieRefusal::Compressed : MovieRefusal::BadHeader;
    }
    ByteReader r(mvhd);
    const uint8_t version = r.U8();
    r.Skip(3 + (version == 1 ? 16 : 8));
    info->timeScale = r.U32BE();
    info->duration = version == 1 ? (uint64_t{r.U32BE()} << 32 | r.U32BE()) : r.U32BE();
    info->rate = static_cast<int32_t>(r.U32BE());
    info->volume = r.U16BE();
    if (!r.ok() || info->timeScale == 0)
        return MovieRefusal::BadHeader;
    for (const Atom& a : Atoms(moov)) {
        if (a.type == kTrak)
            info->tracks.push_back(ReadTrack(a.body));
        else if (a.type == kUdta)
            for (const Atom& item : Atoms(a.body))
                info->userData.push_back({item.type, item.body});
    }
    for (const MovieUserData& u : info->userData)
        if (u.type == kCtyp && u.data.size() >= 4) {
            info->controllerType = GetBE32(u.data, 0);
            break;
        }
    return MovieRefusal::None;
}

MovieBox MovieBoxOf(const MovieFileInfo& info) {
    MovieBox box;
    bool any = false;
    for (const MovieTrack& t : info.tracks) {
        if (!(t.flags & kTrackEnabled) || t.width <= 0 || t.height <= 0)
            continue;
        const int64_t left = t.left >> 16;
        const int64_t top = t.top >> 16;
        const int64_t right = std::min<int64_t>(left + (t.width >> 16), INT32_MAX);
        const int64_t bottom = std::min<int64_t>(top + (t.height >> 16), INT32_MAX);
        if (!any) {
            box = {int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)};
            any = true;
            continue;
        }
        box.left = std::min(box.left, int32_t(left));
        box.top = std::min(box.top, int32_t(top));
        box.right = std::max(box.right, int32_t(right));
        box.bottom = std::max(box.bottom, int32_t(bottom));
    }
    return box;
}

std::vector<MovieChunk> TrackChunks(const MovieTrack& track, size_t limit) {
    std::vector<MovieChunk> chunks;
    uint32_t sample = 0;
    // Runs name their first chunks in rising order; a run that goes back starts where the last
    // ended, so that no chunk is counted twice.
    uint64_t next = 1;
    const auto& runs = track.sampleToChunk;
    for (size_t run = 0; run < runs.size() && sample < track.sampleCount; ++run) {
        const uint64_t end = run + 1 < runs.size() ? runs[run + 1].firstChunk : uint64_t{track.chunkOffsets.size()} + 1;
        if (runs[run].samplesPerChunk == 0)
            continue;
        for (uint64_t chunk = std::max<uint64_t>(runs[run].firstChunk, next);
             chunk < end && chunk <= track.chunkOffsets.size() && sample < track.sampleCount; ++chunk) {
            if (chunks.size() >= limit)
                return chunks;
            const uint32_t count = std::min(runs[run].samplesPerChunk, track.sampleCount - sample);
            chunks.push_back({track.chunkOffsets[chunk - 1], sample, count, runs[run].description});
            sample += count;
            next = chunk + 1;
        }
    }
    return chunks;
}

std::vector<MovieSample> TrackSamples(const MovieTrack& track, size_t limit) {
    std::vector<MovieSample> samples;
    size_t run = 0;
    uint32_t leftInRun = track.timeToSample.empty() ? 0 : track.timeToSample[0].count;
    uint64_t time = 0;
    for (const MovieChunk& chunk : TrackChunks(track, limit)) {
        uint64_t offset = chunk.offset;
        for (uint32_t i = 0; i < chunk.sampleCount && samples.size() < limit; ++i) {
            const uint32_t index = chunk.firstSample + i;
            const uint32_t size = track.sampleSize ? track.sampleSize
                                  : index < track.sampleSizes.size() ? track.sampleSizes[index]
                                                                     : 0;
            while (leftInRun == 0 && run + 1 < track.timeToSample.size())
                leftInRun = track.timeToSample[++run].count;
            const uint32_t duration = leftInRun ? track.timeToSample[run].duration : 0;
            if (leftInRun)
                --leftInRun;
            samples.push_back({offset, size, time, duration, chunk.description});
            offset += size;
            time += duration;
        }
    }
    return samples;
}

std::span<const uint8_t> SampleBytes(std::span<const uint8_t> file, const MovieSample& sample) {
    if (sample.offset > file.size() || sample.size > file.size() - sample.offset)
        return {};
    return file.subspan(static_cast<size_t>(sample.offset), sample.size);
}

uint64_t TrackSampleDuration(const MovieTrack& track) {
    uint64_t total = 0;
    for (const MovieTimeToSample& e : track.timeToSample)
        total += uint64_t{e.count} * e.duration;
    return total;
}
