// Reading and writing standard MIDI files.
#include "quicktime/formats/MidiFile.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "quicktime/formats/SoundFiles.h"

namespace {

constexpr uint32_t kMThd = 0x4D546864;  // "MThd"
constexpr uint32_t kMTrk = 0x4D54726B;  // "MTrk"
constexpr uint32_t kRmid = 0x524D4944;  // "RMID"
constexpr uint32_t kLongestQuantity = 0x0FFFFFFF;

// A variable-length quantity: at most four bytes of seven bits each.
uint32_t Quantity(ByteReader& r) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const uint8_t b = r.U8();
        value = value << 7 | (b & 0x7F);
        if (!(b & 0x80))
            return value;
    }
    return value;
}

void PutQuantity(ByteWriter& w, uint32_t value) {
    value = std::min(value, kLongestQuantity);
    uint8_t bytes[4];
    int n = 0;
    do {
        bytes[n++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n > 1)
        w.U8(bytes[--n] | 0x80);
    w.U8(bytes[0]);
}

// The SMF inside a RIFF "RMID" file's "data" chunk; the bytes themselves otherwise.
std::span<const uint8_t> Unwrap(std::span<const uint8_t> file) {
    if (GetBE32(file, 0) != kRiffChunk || GetBE32(file, 8) != kRmid)
        return file;
    ByteReader r(file, 12);
    while (r.remaining() >= 8) {
        const uint32_t id = r.U32BE();
        const uint32_t size = r.U32LE();
        const std::span<const uint8_t> chunk = r.Bytes(std::min<size_t>(size, r.remaining()));
        if (id == kDataChunk)
            return chunk;
        if (size & 1)
            r.Skip(std::min<size_t>(1, r.remaining()));
    }
    return {};
}

void ReadTrack(std::span<const uint8_t> bytes, uint16_t track, MidiFile* midi) {
    ByteReader r(bytes);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (r.remaining() > 0) {
        tick += Quantity(r);
        MidiEvent e;
        e.track = track;
        e.tick = tick;
        uint8_t status = r.U8();
        if (!r.ok())
            return;
        if (status < 0x80) {
            if (running == 0)
                return;  // data without a status: the rest of the track cannot be read
            e.data1 = status;
            status = running;
            e.status = status;
            if (MidiDataBytes(status) == 2)
                e.data2 = r.U8() & 0x7F;
        } else if (status < 0xF0) {
            running = status;
            e.status = status;
            e.data1 = r.U8() & 0x7F;
            if (MidiDataBytes(status) == 2)
                e.data2 = r.U8() & 0x7F;
        } else if (status == 0xF0 || status == 0xF7) {
            // Running status survives system exclusive and meta events, as players allow.
            e.status = status;
            const uint32_t length = Quantity(r);
            e.payload = r.Bytes(std::min<size_t>(length, r.remaining()));
        } else if (status == kMidiMeta) {
            e.status = status;
            e.meta = r.U8();
            const uint32_t length = Quantity(r);
            e.payload = r.Bytes(std::min<size_t>(length, r.remaining()));
        } else {
            return;  // a system common or real-time byte has no place in a file
        }
        if (!r.ok())
            return;
        midi->events.push_back(e);
        midi->endTick = std::max(midi->endTick, tick);
        if (e.status == kMidiMeta && e.meta == kMidiMetaEndOfTrack)
            return;
    }
}

}  // namespace

int MidiDataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

MidiRefusal ReadMidiFile(std::span<const uint8_t> file, MidiFile* midi) {
    *midi = {};
    file = Unwrap(file);
    ByteReader r(file);
    if (r.U32BE() != kMThd)
        return r.ok() ? MidiRefusal::NotMidi : MidiRefusal::Truncated;
    const uint32_t headerSize = r.U32BE();
    midi->format = r.U16BE();
    const uint16_t declared = r.U16BE();
    midi->division = r.U16BE();
    if (!r.ok() || headerSize < 6)
        return MidiRefusal::Truncated;
    r.Seek(8 + std::min<size_t>(headerSize, file.size() - 8));
    if (midi->division & 0x8000) {
        const int fps = -static_cast<int8_t>(midi->division >> 8);
        if (fps <= 0 || (midi->division & 0xFF) == 0)
            return MidiRefusal::BadDivision;
    } else if (midi->division == 0) {
        return MidiRefusal::BadDivision;
    }
    // Chunks that are not tracks are passed over; a declared count smaller than the tracks
    // present is taken at its word, as players do.
    while (r.remaining() >= 8 && midi->trackCount < declared) {
        const uint32_t id = r.U32BE();
        const uint32_t size = r.U32BE();
        const std::span<const uint8_t> chunk = r.Bytes(std::min<size_t>(size, r.remaining()));
        if (id == kMTrk)
            ReadTrack(chunk, midi->trackCount++, midi);
    }
    if (midi->trackCount == 0)
        return MidiRefusal::NoTracks;
    std::stable_sort(midi->events.begin(), midi->events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.tick < b.tick; });
    return MidiRefusal::None;
}

std::vector<uint8_t> WriteMidiFile(uint16_t division, uint32_t tempo, std::span<const MidiMessage> messages,
                                   uint64_t endTick) {
    std::vector<MidiMessage> sorted(messages.begin(), messages.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const MidiMessage& a, const MidiMessage& b) { return a.tick < b.tick; });
    std::vector<uint8_t> track;
    ByteWriter t(track);
    uint64_t at = 0;
    // A gap longer than a quantity holds is bridged by empty text events.
    auto advanceTo = [&](uint64_t tick) {
        while (tick - at > kLongestQuantity) {
            PutQuantity(t, kLongestQuantity);
            t.U8(kMidiMeta);
            t.U8(0x01);
            t.U8(0);
            at += kLongestQuantity;
        }
        PutQuantity(t, static_cast<uint32_t>(tick - at));
        at = tick;
    };
    advanceTo(0);
    t.U8(kMidiMeta);
    t.U8(kMidiMetaTempo);
    t.U8(3);
    t.U8(static_cast<uint8_t>(tempo >> 16));
    t.U8(static_cast<uint8_t>(tempo >> 8));
    t.U8(static_cast<uint8_t>(tempo));
    for (const MidiMessage& m : sorted) {
        if (m.status < 0x80 || m.status >= 0xF0)
            continue;
        advanceTo(m.tick);
        t.U8(m.status);
        t.U8(m.data1 & 0x7F);
        if (MidiDataBytes(m.status) == 2)
            t.U8(m.data2 & 0x7F);
    }
    advanceTo(std::max(endTick, at));
    t.U8(kMidiMeta);
    t.U8(kMidiMetaEndOfTrack);
    t.U8(0);

    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.U32BE(kMThd);
    w.U32BE(6);
    w.U16BE(0);
    w.U16BE(1);
    w.U16BE(division);
    w.U32BE(kMTrk);
    w.U32BE(static_cast<uint32_t>(track.size()));
    w.Bytes(track);
    return out;
}
