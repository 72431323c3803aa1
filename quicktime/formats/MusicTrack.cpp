// The event words of music media: decoding a sample or a description's note requests, and
// encoding events with the rests between them.
#include "quicktime/formats/MusicTrack.h"

#include <algorithm>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kGeneralNoteRequest = 1;
constexpr uint32_t kNoteRequestWords = 21;       // NoteRequestInfo (8 bytes) and ToneDescription (76)
constexpr size_t kToneInstrumentNumber = 8 + 4 + 32 + 32;  // then the GM number
constexpr uint32_t kLongestRest = 0xFFFFFF;
constexpr uint32_t kLongestShortNote = 0x7FF;
constexpr uint32_t kLongestNote = 0x3FFFFF;

uint32_t AddTime(uint32_t time, uint32_t more) { return more > UINT32_MAX - time ? UINT32_MAX : time + more; }

void PushNote(MusicTrackEvents* out, uint32_t time, uint16_t part, uint32_t pitch, uint32_t velocity, uint32_t duration) {
    if (pitch > 127 || velocity == 0)
        return;  // no MIDI note, or a silent one
    out->events.push_back({time, MusicEventKind::Note, part, static_cast<uint16_t>(pitch), static_cast<int32_t>(velocity), duration});
    out->endTime = std::max(out->endTime, AddTime(time, duration));
}

// The words of a sample or of a description's note requests.
void Decode(std::span<const uint8_t> bytes, uint32_t time, MusicTrackEvents* out, bool header) {
    ByteReader r(bytes);
    while (r.remaining() >= 4) {
        const size_t start = r.position();
        const uint32_t w = r.U32BE();
        if (!(w & 0x80000000)) {
            const uint16_t part = (w >> 24) & 0x1F;
            switch (w >> 29) {
            case 0:  // rest
                time = AddTime(time, w & 0xFFFFFF);
                out->endTime = std::max(out->endTime, time);
                break;
            case 1:  // note
                PushNote(out, time, part, ((w >> 18) & 0x3F) + 32, (w >> 11) & 0x7F, w & 0x7FF);
                break;
            case 2:  // controller
                out->events.push_back({time, MusicEventKind::Controller, part, static_cast<uint16_t>((w >> 16) & 0xFF),
                                       static_cast<int16_t>(w & 0xFFFF), 0});
                break;
            default:  // marker: the end marker ends the sample
                if (((w >> 16) & 0xFF) == 0)
                    return;
                break;
            }
            continue;
        }
        const uint16_t part = (w >> 16) & 0xFFF;
        if ((w >> 28) == 0xF) {  // general event: its length in words, head and tail included
            const uint32_t words = w & 0xFFFF;
            if (words < 2 || size_t{words} * 4 > bytes.size() - start)
                return;
            const uint32_t tail = GetBE32(bytes, start + (size_t{words} - 1) * 4);
            const std::span<const uint8_t> body = bytes.subspan(start + 4, (size_t{words} - 2) * 4);
            if (((tail >> 16) & 0x3FFF) == kGeneralNoteRequest && body.size() >= kToneInstrumentNumber + 8) {
                uint32_t gm = GetBE32(body, kToneInstrumentNumber + 4);
                if (gm == 0)
                    gm = GetBE32(body, kToneInstrumentNumber);
                const MusicEvent e{time, MusicEventKind::Instrument, part, static_cast<uint16_t>(std::min<uint32_t>(gm, UINT16_MAX)), 0, 0};
                (header ? out->instruments : out->events).push_back(e);
            }
            r.Seek(start + size_t{words} * 4);
            continue;
        }
        const uint32_t w2 = r.U32BE();  // every other long event has two words
        if (!r.ok())
            return;
        if ((w >> 28) == 0x9) {  // extended note
            uint32_t pitch = w & 0xFFFF;
            if (pitch > 0xFF)
                pitch = (pitch + 0x80) >> 8;  // 8.8: the nearest MIDI note
            PushNote(out, time, part, pitch, (w2 >> 22) & 0x7F, w2 & kLongestNote);
        } else if ((w >> 28) == 0xA) {  // extended controller
            out->events.push_back({time, MusicEventKind::Controller, part, static_cast<uint16_t>(w & 0x3FFF),
                                   static_cast<int16_t>(w2 & 0xFFFF), 0});
        }
    }
}

void PutNoteRequest(ByteWriter& w, uint16_t part, uint32_t instrument) {
    const uint32_t words = kNoteRequestWords + 2;
    w.U32BE(0xF0000000u | uint32_t{part & 0xFFFu} << 16 | words);
    w.U8(0);                // flags
    w.U8(0);                // reserved
    w.U16BE(16);            // polyphony
    w.U32BE(0x00040000);    // typical polyphony, 4.0
    w.U32BE(0);             // any synthesizer
    w.Zeros(32 + 32);       // synthesizer and instrument names, empty
    w.U32BE(instrument);    // instrument number
    w.U32BE(instrument);    // GM number
    w.U32BE(0xC0000000u | kGeneralNoteRequest << 16 | words);
}

int Rank(MusicEventKind kind) { return kind == MusicEventKind::Instrument ? 0 : kind == MusicEventKind::Controller ? 1 : 2; }

}  // namespace

void DecodeMusicHeader(std::span<const uint8_t> description, MusicTrackEvents* out) {
    if (description.size() > kSampleDescriptionHeaderBytes + 4)
        Decode(description.subspan(kSampleDescriptionHeaderBytes + 4), 0, out, true);
}

void DecodeMusicEvents(std::span<const uint8_t> sample, uint32_t startTime, MusicTrackEvents* out) {
    out->endTime = std::max(out->endTime, startTime);
    Decode(sample, startTime, out, false);
}

std::vector<uint8_t> EncodeMusicDescription(std::span<const MusicEvent> instruments) {
    std::vector<uint8_t> body;
    ByteWriter w(body);
    w.U32BE(0);  // music flags
    for (const MusicEvent& e : instruments)
        PutNoteRequest(w, e.part, e.number);
    w.U32BE(kMusicEndMarker);
    return MakeSampleDescription(QtAtomType("musi"), body);
}

std::vector<uint8_t> EncodeMusicEvents(std::span<const MusicEvent> events, uint32_t endTime) {
    std::vector<MusicEvent> sorted(events.begin(), events.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const MusicEvent& a, const MusicEvent& b) {
        return a.time != b.time ? a.time < b.time : Rank(a.kind) < Rank(b.kind);
    });
    std::vector<uint8_t> out;
    ByteWriter w(out);
    uint32_t now = 0;
    auto restUntil = [&](uint32_t time) {
        while (time > now) {
            const uint32_t rest = std::min(time - now, kLongestRest);
            w.U32BE(rest);
            now += rest;
        }
    };
    for (const MusicEvent& e : sorted) {
        restUntil(e.time);
        switch (e.kind) {
        case MusicEventKind::Note: {
            const uint32_t velocity = std::clamp<int32_t>(e.value, 1, 127);
            if (e.part <= 31 && e.number >= 32 && e.number <= 95 && e.duration <= kLongestShortNote) {
                w.U32BE(0x20000000u | uint32_t{e.part} << 24 | uint32_t{e.number - 32u} << 18 | velocity << 11 | e.duration);
            } else {
                w.U32BE(0x90000000u | uint32_t{e.part & 0xFFFu} << 16 | e.number);
                w.U32BE(0x80000000u | velocity << 22 | std::min(e.duration, kLongestNote));
            }
            break;
        }
        case MusicEventKind::Controller: {
            const auto value = static_cast<uint16_t>(std::clamp<int32_t>(e.value, INT16_MIN, INT16_MAX));
            if (e.part <= 31 && e.number <= 0xFF) {
                w.U32BE(0x40000000u | uint32_t{e.part} << 24 | uint32_t{e.number} << 16 | value);
            } else {
                w.U32BE(0xA0000000u | uint32_t{e.part & 0xFFFu} << 16 | (e.number & 0x3FFFu));
                w.U32BE(0x80000000u | value);
            }
            break;
        }
        case MusicEventKind::Instrument:
            PutNoteRequest(w, e.part, e.number);
            break;
        }
    }
    restUntil(endTime);
    w.U32BE(kMusicEndMarker);
    return out;
}
