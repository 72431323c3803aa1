// Sound tracks: their descriptions, and their chunks read out as wave samples.
#include "quicktime/formats/SoundTrack.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

bool ReadSoundDescription(std::span<const uint8_t> description, SoundDescription* out) {
    *out = {};
    if (description.size() < kSoundDescriptionBytes)
        return false;
    ByteReader r(description, 4);
    out->format = r.U32BE();
    r.Skip(8);  // reserved, data reference
    out->version = r.U16BE();
    r.Skip(6);  // revision, vendor
    out->channels = r.U16BE();
    out->sampleSize = r.U16BE();
    out->compressionId = static_cast<int16_t>(r.U16BE());
    r.Skip(2);  // packet size
    out->sampleRate = r.U32BE() >> 16;
    return r.ok();
}

std::vector<uint8_t> MakeSoundDescription(uint32_t format, uint16_t channels, uint16_t bits, uint32_t rate) {
    std::vector<uint8_t> body;
    ByteWriter w(body);
    w.Zeros(8);  // version 0, revision, vendor
    w.U16BE(channels);
    w.U16BE(bits);
    w.Zeros(4);  // compression id, packet size
    w.U32BE(rate << 16);
    return MakeSampleDescription(format, body);
}

bool SoundEncodingOf(uint32_t format, uint16_t bits, SoundEncoding* encoding) {
    const bool wide = bits == 16 || bits == 24 || bits == 32;
    if (bits != 8 && !wide)
        return false;
    switch (format) {
    case QtAtomType("raw "):
        *encoding = bits == 8 ? SoundEncoding::Unsigned8 : SoundEncoding::BigEndian;
        return true;
    case QtAtomType("twos"):
        *encoding = bits == 8 ? SoundEncoding::Signed8 : SoundEncoding::BigEndian;
        return true;
    case QtAtomType("sowt"):
        *encoding = bits == 8 ? SoundEncoding::Signed8 : SoundEncoding::LittleEndian;
        return true;
    case QtAtomType("ulaw"):
        *encoding = SoundEncoding::MuLaw;
        return bits == 8;
    case QtAtomType("in24"):
        *encoding = SoundEncoding::BigEndian;
        return bits == 24;
    case QtAtomType("in32"):
        *encoding = SoundEncoding::BigEndian;
        return bits == 32;
    default:
        return false;
    }
}

SoundRefusal MovieSoundPcm(std::span<const uint8_t> file, const MovieTrack& track, WavePcm* out, size_t limitBytes) {
    *out = {};
    if (track.descriptions.empty())
        return SoundRefusal::NoSamples;
    SoundDescription d;
    if (!ReadSoundDescription(track.descriptions[0].bytes, &d))
        return SoundRefusal::Truncated;
    uint16_t bits = d.sampleSize;
    if (d.format == QtAtomType("ulaw") || d.format == QtAtomType("in24") || d.format == QtAtomType("in32"))
        bits = d.format == QtAtomType("in24") ? 24 : d.format == QtAtomType("in32") ? 32 : 8;
    SoundEncoding encoding;
    if (!SoundEncodingOf(d.format, bits, &encoding))
        return SoundRefusal::Compressed;
    if (d.channels == 0 || d.sampleRate == 0)
        return SoundRefusal::BadFormat;
    // Uncompressed sound keeps one sample a frame whatever its size says.
    const size_t frameBytes = size_t{bits} / 8 * d.channels;
    // Chunks do not overlap: more bytes than the file holds would be the same bytes again.
    limitBytes = std::min(limitBytes, file.size());
    std::vector<uint8_t> joined;
    for (const MovieChunk& c : TrackChunks(track)) {
        if (c.description != 1 || joined.size() >= limitBytes)
            continue;
        const size_t bytes = std::min<uint64_t>(uint64_t{c.sampleCount} * frameBytes, limitBytes - joined.size());
        if (c.offset > file.size() || bytes > file.size() - c.offset)
            continue;  // a chunk outside the file is left out
        const auto chunk = file.subspan(static_cast<size_t>(c.offset), bytes);
        joined.insert(joined.end(), chunk.begin(), chunk.end());
    }
    *out = ToWavePcm(joined, encoding, bits, d.channels, d.sampleRate);
    return SoundRefusal::None;
}

MovieTrackSpec SoundTrackSpec(const WavePcm& pcm) {
    MovieTrackSpec t;
    t.mediaType = QtAtomType("soun");
    t.mediaTimeScale = pcm.sampleRate;
    t.description = MakeSoundDescription(pcm.bitsPerSample == 8 ? QtAtomType("raw ") : QtAtomType("sowt"), pcm.channels,
                                         pcm.bitsPerSample, pcm.sampleRate);
    t.samples = pcm.samples;
    t.sampleCount = pcm.frames;
    t.sampleSize = 1;
    t.sampleDuration = 1;
    return t;
}
