// Writing a movie file: the samples of every track in one 'mdat', then the 'moov' whose tracks
// each point at their one chunk. Movie time runs at 600 per second.
#include "quicktime/formats/MovieFile.h"

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kTrackInMovie = 0x2;
constexpr uint32_t kTrackInPreview = 0x4;
constexpr uint32_t kTrackInPoster = 0x8;

// An atom under construction: its size is written when it is closed.
class AtomWriter {
public:
    explicit AtomWriter(std::vector<uint8_t>& out) : out_(out), w_(out) {}
    ByteWriter& w() { return w_; }
    size_t Open(uint32_t type) {
        const size_t at = out_.size();
        w_.U32BE(0);
        w_.U32BE(type);
        return at;
    }
    void Close(size_t at) { SetBE32(out_, at, static_cast<uint32_t>(out_.size() - at)); }
    // version and flags
    void Full(uint32_t flags) { w_.U32BE(flags); }

private:
    std::vector<uint8_t>& out_;
    ByteWriter w_;
};

void Matrix(ByteWriter& w) {
    for (uint32_t v : {0x10000u, 0u, 0u, 0u, 0x10000u, 0u, 0u, 0u, 0x40000000u})
        w.U32BE(v);
}

uint32_t MediaDuration(const MovieTrackSpec& t) { return t.sampleCount * t.sampleDuration; }

uint32_t MovieDuration(const MovieTrackSpec& t) {
    if (!t.edits.empty()) {
        uint64_t total = 0;
        for (const MovieEdit& e : t.edits)
            total += e.duration;
        return static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX));
    }
    if (t.mediaTimeScale == 0)
        return 0;
    const uint64_t d = (uint64_t{MediaDuration(t)} * kMovieTimeScale + t.mediaTimeScale - 1) / t.mediaTimeScale;
    return static_cast<uint32_t>(std::min<uint64_t>(d, UINT32_MAX));
}

void WriteTrack(AtomWriter& a, const MovieTrackSpec& t, uint32_t id, uint32_t chunkOffset) {
    ByteWriter& w = a.w();
    const size_t trak = a.Open(QtAtomType("trak"));
    const size_t tkhd = a.Open(QtAtomType("tkhd"));
    a.Full(kTrackEnabled | kTrackInMovie | kTrackInPreview | kTrackInPoster);
    w.Zeros(8);
    w.U32BE(id);
    w.Zeros(4);
    w.U32BE(MovieDuration(t));
    w.Zeros(8 + 4);  // reserved, layer, alternate group
    w.U16BE(t.mediaType == QtAtomType("soun") ? t.volume : 0);
    w.Zeros(2);
    Matrix(w);
    w.Zeros(8);  // width, height
    a.Close(tkhd);
    if (!t.edits.empty()) {
        const size_t edts = a.Open(QtAtomType("edts"));
        const size_t elst = a.Open(QtAtomType("elst"));
        a.Full(0);
        w.U32BE(static_cast<uint32_t>(t.edits.size()));
        for (const MovieEdit& e : t.edits) {
            w.U32BE(e.duration);
            w.U32BE(static_cast<uint32_t>(e.mediaTime));
            w.U32BE(static_cast<uint32_t>(e.rate));
        }
        a.Close(elst);
        a.Close(edts);
    }

    const size_t mdia = a.Open(QtAtomType("mdia"));
    const size_t mdhd = a.Open(QtAtomType("mdhd"));
    a.Full(0);
    w.Zeros(8);
    w.U32BE(t.mediaTimeScale);
    w.U32BE(MediaDuration(t));
    w.Zeros(4);  // language, quality
    a.Close(mdhd);
    const size_t hdlr = a.Open(QtAtomType("hdlr"));
    a.Full(0);
    w.U32BE(QtAtomType("mhlr"));
    w.U32BE(t.mediaType);
    w.Zeros(12 + 1);  // manufacturer, flags, mask, an empty name
    a.Close(hdlr);

    const size_t minf = a.Open(QtAtomType("minf"));
    if (t.mediaType == QtAtomType("soun")) {
        const size_t smhd = a.Open(QtAtomType("smhd"));
        a.Full(0);
        w.Zeros(4);  // balance, reserved
        a.Close(smhd);
    } else {
        const size_t gmhd = a.Open(QtAtomType("gmhd"));
        const size_t gmin = a.Open(QtAtomType("gmin"));
        a.Full(0);
        w.U16BE(0x40);  // graphics mode: copy
        w.U16BE(0x8000);
        w.U16BE(0x8000);
        w.U16BE(0x8000);
        w.Zeros(4);  // balance, reserved
        a.Close(gmin);
        a.Close(gmhd);
    }
    const size_t dhlr = a.Open(QtAtomType("hdlr"));
    a.Full(0);
    w.U32BE(QtAtomType("dhlr"));
    w.U32BE(QtAtomType("alis"));
    w.Zeros(12 + 1);
    a.Close(dhlr);
    const size_t dinf = a.Open(QtAtomType("dinf"));
    const size_t dref = a.Open(QtAtomType("dref"));
    a.Full(0);
    w.U32BE(1);
    const size_t alis = a.Open(QtAtomType("alis"));
    a.Full(1);  // the data lie in this file
    a.Close(alis);
    a.Close(dref);
    a.Close(dinf);

    const size_t stbl = a.Open(QtAtomType("stbl"));
    const size_t stsd = a.Open(QtAtomType("stsd"));
    a.Full(0);
    w.U32BE(1);
    w.Bytes(t.description);
    a.Close(stsd);
    const size_t stts = a.Open(QtAtomType("stts"));
    a.Full(0);
    w.U32BE(1);
    w.U32BE(t.sampleCount);
    w.U32BE(t.sampleDuration);
    a.Close(stts);
    const size_t stsc = a.Open(QtAtomType("stsc"));
    a.Full(0);
    w.U32BE(1);
    w.U32BE(1);
    w.U32BE(t.sampleCount);
    w.U32BE(1);
    a.Close(stsc);
    const size_t stsz = a.Open(QtAtomType("stsz"));
    a.Full(0);
    w.U32BE(t.sampleSize ? t.sampleSize : static_cast<uint32_t>(t.samples.size()));
    w.U32BE(t.sampleCount);
    a.Close(stsz);
    const size_t stco = a.Open(QtAtomType("stco"));
    a.Full(0);
    w.U32BE(1);
    w.U32BE(chunkOffset);
    a.Close(stco);
    a.Close(stbl);
    a.Close(minf);
    a.Close(mdia);
    a.Close(trak);
}

}  // namespace

std::vector<uint8_t> MakeSampleDescription(uint32_t format, std::span<const uint8_t> body) {
    std::vector<uint8_t> d;
    ByteWriter w(d);
    w.U32BE(static_cast<uint32_t>(kSampleDescriptionHeaderBytes + body.size()));
    w.U32BE(format);
    w.Zeros(6);
    w.U16BE(1);  // data reference 1: this file
    w.Bytes(body);
    return d;
}

std::vector<uint8_t> WriteMovieFile(std::span<const MovieTrackSpec> tracks) {
    std::vector<uint8_t> out;
    AtomWriter a(out);
    ByteWriter& w = a.w();
    const size_t mdat = a.Open(QtAtomType("mdat"));
    std::vector<uint32_t> offsets;
    for (const MovieTrackSpec& t : tracks) {
        offsets.push_back(static_cast<uint32_t>(out.size()));
        w.Bytes(t.samples);
    }
    a.Close(mdat);
    uint32_t duration = 0;
    for (const MovieTrackSpec& t : tracks)
        duration = std::max(duration, MovieDuration(t));

    const size_t moov = a.Open(QtAtomType("moov"));
    const size_t mvhd = a.Open(QtAtomType("mvhd"));
    a.Full(0);
    w.Zeros(8);
    w.U32BE(kMovieTimeScale);
    w.U32BE(duration);
    w.U32BE(0x10000);  // rate 1.0
    w.U16BE(0x100);    // full volume
    w.Zeros(10);
    Matrix(w);
    w.Zeros(6 * 4);  // preview, poster, selection and current times
    w.U32BE(static_cast<uint32_t>(tracks.size()) + 1);
    a.Close(mvhd);
    for (size_t i = 0; i < tracks.size(); ++i)
        WriteTrack(a, tracks[i], static_cast<uint32_t>(i + 1), offsets[i]);
    a.Close(moov);
    return out;
}
