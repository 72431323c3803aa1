// Music tracks and MIDI: a MIDI file's channel messages become the events of one music track
// (channel n plays part n + 1), a movie's music tracks become channel messages again, timed in
// milliseconds for a device or in ticks for a file.
#include "quicktime/formats/MusicTrack.h"

#include <algorithm>
#include <array>

namespace {

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControl = 0xB0;
constexpr uint8_t kProgram = 0xC0;
constexpr uint8_t kPressure = 0xD0;
constexpr uint8_t kBend = 0xE0;
constexpr uint8_t kDrumChannel = 9;
constexpr uint32_t kFirstDrumKit = 16385;
constexpr uint64_t kLongestMicroseconds = (uint64_t{1} << 31) * 1000;  // about 24 days: past it times stop growing

// Microseconds as a time of the scale, to the nearest unit.
uint32_t ToScale(uint64_t microseconds, uint32_t scale) {
    microseconds = std::min(microseconds, kLongestMicroseconds);
    return static_cast<uint32_t>(std::min<uint64_t>((microseconds * scale + 500000) / 1000000, UINT32_MAX));
}

uint32_t AddClamp(uint32_t a, uint64_t b) { return static_cast<uint32_t>(std::min<uint64_t>(a + b, UINT32_MAX)); }

uint32_t Rescale(uint64_t value, uint64_t from, uint64_t to) {
    if (from == 0)
        return 0;
    const uint64_t whole = value / from, part = value % from;
    return static_cast<uint32_t>(std::min<uint64_t>(whole * to + (part * to + from / 2) / from, UINT32_MAX));
}

// A MIDI controller as a music controller: modulation to sound controllers keep their numbers;
// bank selects and the low halves of controllers (0, 32-63) have none.
bool ControllerOf(uint8_t midi, uint16_t* music) {
    if (midi == 0 || (midi >= 32 && midi < 64) || midi > 127)
        return false;
    *music = midi;
    return true;
}

struct Timed {
    uint64_t time;  // in the track's time scale
    int rank;       // at one time: programs, controllers, notes off, notes on, notes of no length off
    uint8_t status, data1, data2;
};

// The channel each part plays on, by part (parts have 12 bits): drum kits on the drum channel,
// parts 1 to 16 on their own channel where it is free, every other part on a free one (the
// last when none is).
constexpr size_t kParts = 0x1000;
std::vector<uint8_t> AssignChannels(const MusicTrackEvents& music) {
    std::vector<uint16_t> parts;  // in the order they come
    std::vector<uint8_t> seen(kParts, 0);  // 1 seen, 2 a drum kit
    auto note = [&](const MusicEvent& e) {
        uint8_t& s = seen[e.part & (kParts - 1)];
        if (!s)
            parts.push_back(e.part & (kParts - 1));
        s = std::max<uint8_t>(s, e.kind == MusicEventKind::Instrument && e.number >= kFirstDrumKit - 1 ? 2 : 1);
    };
    for (const MusicEvent& e : music.instruments)
        note(e);
    for (const MusicEvent& e : music.events)
        note(e);
    std::vector<uint8_t> channels(kParts, 0);
    std::array<bool, 16> used{};
    used[kDrumChannel] = true;
    std::vector<uint16_t> rest;
    for (uint16_t p : parts) {
        if (seen[p] == 2) {
            channels[p] = kDrumChannel;
        } else if (p >= 1 && p <= 16 && !used[p - 1u]) {
            channels[p] = static_cast<uint8_t>(p - 1);
            used[p - 1u] = true;
        } else {
            rest.push_back(p);
        }
    }
    for (uint16_t p : rest) {
        uint8_t c = 15;
        for (uint8_t i = 0; i < 16; ++i)
            if (!used[i]) {
                c = i;
                break;
            }
        used[c] = true;
        channels[p] = c;
    }
    return channels;
}

// The channel messages of a music track, timed in its time scale.
std::vector<Timed> TrackMessages(const MusicTrackEvents& music) {
    const std::vector<uint8_t> channels = AssignChannels(music);
    auto channelOf = [&](uint16_t part) { return channels[part & (kParts - 1)]; };
    std::vector<Timed> out;
    auto instrument = [&](const MusicEvent& e) {
        const uint8_t c = channelOf(e.part);
        uint32_t program = e.number >= kFirstDrumKit ? e.number - kFirstDrumKit : e.number >= 1 ? e.number - 1u : 0;
        out.push_back({e.time, 0, static_cast<uint8_t>(kProgram | c), static_cast<uint8_t>(std::min<uint32_t>(program, 127)), 0});
    };
    for (const MusicEvent& e : music.instruments)
        instrument(e);
    for (const MusicEvent& e : music.events) {
        const uint8_t c = channelOf(e.part);
        switch (e.kind) {
        case MusicEventKind::Instrument:
            instrument(e);
            break;
        case MusicEventKind::Note:
            out.push_back({e.time, 3, static_cast<uint8_t>(kNoteOn | c), static_cast<uint8_t>(e.number),
                           static_cast<uint8_t>(std::clamp(e.value, 1, 127))});
            // A note of no length lets go after it starts, not before.
            out.push_back({uint64_t{e.time} + e.duration, e.duration ? 2 : 4, static_cast<uint8_t>(kNoteOff | c),
                           static_cast<uint8_t>(e.number), 0});
            break;
        case MusicEventKind::Controller:
            if (e.number == kMusicPitchBend) {
                // 8.8 semitones over a bend range of two.
                const int bend = std::clamp(8192 + e.value * 16, 0, 16383);
                out.push_back({e.time, 1, static_cast<uint8_t>(kBend | c), static_cast<uint8_t>(bend & 0x7F), static_cast<uint8_t>(bend >> 7)});
            } else if (e.number == kMusicAfterTouch) {
                out.push_back({e.time, 1, static_cast<uint8_t>(kPressure | c), static_cast<uint8_t>(std::clamp(e.value >> 8, 0, 127)), 0});
            } else if (e.number >= 1 && e.number <= 127) {
                out.push_back({e.time, 1, static_cast<uint8_t>(kControl | c), static_cast<uint8_t>(e.number),
                               static_cast<uint8_t>(std::clamp(e.value >> 8, 0, 127))});
            }
            break;
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const Timed& a, const Timed& b) {
        return a.time != b.time ? a.time < b.time : a.rank < b.rank;
    });
    return out;
}

// A track's edits as far as music needs them: empty edits at its start delay it, and the first
// edit that shows media starts it at that media time (what comes before is not played).
void ApplyLeadingEdits(const MovieTrack& track, uint32_t movieScale, MusicTrackEvents* music) {
    uint64_t delay = 0;
    uint32_t from = 0;
    for (const MovieEdit& e : track.edits) {
        if (e.mediaTime >= 0) {
            from = static_cast<uint32_t>(e.mediaTime);
            break;
        }
        delay += e.duration;
    }
    const uint32_t shift = Rescale(delay, movieScale, track.mediaTimeScale);
    if (shift == 0 && from == 0)
        return;
    std::vector<MusicEvent> kept;
    for (MusicEvent e : music->events) {
        if (e.time < from && e.kind == MusicEventKind::Note)
            continue;
        e.time = AddClamp(e.time < from ? 0 : e.time - from, shift);
        kept.push_back(e);
    }
    music->events = std::move(kept);
    music->endTime = AddClamp(music->endTime < from ? 0 : music->endTime - from, shift);
}

// Every enabled music track of a movie, decoded, with its time scale.
struct DecodedTrack {
    MusicTrackEvents music;
    uint32_t timeScale;
};
std::vector<DecodedTrack> MusicTracks(std::span<const uint8_t> file, const MovieFileInfo& info) {
    size_t samplesLeft = 4096;  // between all tracks: a piece is one sample, or a few
    std::vector<DecodedTrack> tracks;
    // Samples of a movie file do not overlap: more bytes than the file holds means samples
    // that point at the same bytes again and again, which are read once at most.
    size_t budget = file.size();
    for (const MovieTrack& t : info.tracks) {
        if (t.mediaType != QtAtomType("musi") || !(t.flags & kTrackEnabled) || t.mediaTimeScale == 0)
            continue;
        DecodedTrack d{{}, t.mediaTimeScale};
        if (!t.descriptions.empty())
            DecodeMusicHeader(t.descriptions[0].bytes, &d.music);
        const std::vector<MovieSample> samples = TrackSamples(t, samplesLeft);
        samplesLeft -= samples.size();
        for (const MovieSample& s : samples) {
            const uint32_t start = static_cast<uint32_t>(std::min<uint64_t>(s.time, UINT32_MAX));
            const std::span<const uint8_t> bytes = SampleBytes(file, s);
            if (bytes.size() > budget)
                break;
            budget -= bytes.size();
            DecodeMusicEvents(bytes, start, &d.music);
            d.music.endTime = std::max(d.music.endTime, AddClamp(start, s.duration));
        }
        ApplyLeadingEdits(t, info.timeScale, &d.music);
        tracks.push_back(std::move(d));
    }
    return tracks;
}

}  // namespace

std::vector<TimedMidiMessage> MidiFileMessages(const MidiFile& midi, uint32_t* lengthMilliseconds) {
    const MidiTempoMap map = TempoMapOf(midi);
    std::vector<TimedMidiMessage> out;
    for (const MidiEvent& e : midi.events)
        if (e.status >= 0x80 && e.status < 0xF0)
            out.push_back({ToScale(TickToMicroseconds(map, e.tick), 1000), e.status, e.data1, e.data2});
    if (lengthMilliseconds)
        *lengthMilliseconds = ToScale(TickToMicroseconds(map, midi.endTick), 1000);
    return out;
}

MidiRefusal MidiFileToMovieFile(std::span<const uint8_t> midiFile, std::vector<uint8_t>* movieFile) {
    movieFile->clear();
    MidiFile midi;
    const MidiRefusal refusal = ReadMidiFile(midiFile, &midi);
    if (refusal != MidiRefusal::None)
        return refusal;
    const MidiTempoMap map = TempoMapOf(midi);
    std::vector<MusicEvent> instruments;  // the first program of each channel that plays
    std::vector<MusicEvent> events;
    std::array<int, 16> program;
    program.fill(-1);
    std::array<bool, 16> sounded{};
    struct Open {
        uint32_t time;
        uint8_t velocity;
    };
    // By channel and pitch, oldest first from its head: notes let go in the order they started.
    struct Held {
        std::vector<Open> notes;
        size_t head = 0;
        bool empty() const { return head == notes.size(); }
    };
    std::vector<Held> open(16 * 128);
    const uint32_t end = ToScale(TickToMicroseconds(map, midi.endTick), kMovieTimeScale);
    auto close = [&](uint8_t channel, uint8_t pitch, uint32_t time) {
        Held& held = open[channel * 128u + pitch];
        if (held.empty())
            return;
        const Open n = held.notes[held.head++];
        if (held.empty())
            held = {};
        events.push_back({n.time, MusicEventKind::Note, static_cast<uint16_t>(channel + 1), pitch, n.velocity,
                          std::max<uint32_t>(time - n.time, 1)});
    };
    auto instrumentOf = [](uint8_t channel, int prog) {
        const uint32_t p = prog < 0 ? 0 : static_cast<uint32_t>(prog);
        return static_cast<uint16_t>(channel == kDrumChannel ? kFirstDrumKit + p : p + 1);
    };
    for (const MidiEvent& e : midi.events) {
        if (e.status < 0x80 || e.status >= 0xF0)
            continue;
        const uint32_t time = ToScale(TickToMicroseconds(map, e.tick), kMovieTimeScale);
        const uint8_t channel = e.status & 0x0F;
        const uint16_t part = channel + 1;
        switch (e.status & 0xF0) {
        case kNoteOn:
            if (e.data2 != 0) {
                if (!sounded[channel]) {
                    sounded[channel] = true;
                    instruments.push_back({0, MusicEventKind::Instrument, part, instrumentOf(channel, program[channel]), 0, 0});
                }
                open[channel * 128u + e.data1].notes.push_back({time, e.data2});
                break;
            }
            [[fallthrough]];
        case kNoteOff:
            close(channel, e.data1, time);
            break;
        case kProgram:
            program[channel] = e.data1;
            if (sounded[channel])
                events.push_back({time, MusicEventKind::Instrument, part, instrumentOf(channel, e.data1), 0, 0});
            break;
        case kControl: {
            uint16_t number;
            if (ControllerOf(e.data1, &number))
                events.push_back({time, MusicEventKind::Controller, part, number, int32_t{e.data2} << 8, 0});
            break;
        }
        case kBend: {
            const int bend = (e.data1 | e.data2 << 7) - 8192;
            events.push_back({time, MusicEventKind::Controller, part, kMusicPitchBend, bend / 16, 0});
            break;
        }
        case kPressure:
            events.push_back({time, MusicEventKind::Controller, part, kMusicAfterTouch, int32_t{e.data1} << 8, 0});
            break;
        default:
            break;  // polyphonic pressure has no music controller
        }
    }
    // Notes never let go end with the piece.
    for (uint8_t c = 0; c < 16; ++c)
        for (uint8_t p = 0; p < 128; ++p)
            while (!open[c * 128u + p].empty())
                close(c, p, std::max(end, open[c * 128u + p].notes[open[c * 128u + p].head].time));
    uint32_t last = end;
    for (const MusicEvent& e : events)
        last = std::max(last, e.time + (e.kind == MusicEventKind::Note ? e.duration : 0));
    MovieTrackSpec track;
    track.mediaType = QtAtomType("musi");
    track.mediaTimeScale = kMovieTimeScale;
    track.description = EncodeMusicDescription(instruments);
    track.samples = EncodeMusicEvents(events, last);
    track.sampleDuration = std::max<uint32_t>(last, 1);
    *movieFile = WriteMovieFile(std::span(&track, 1));
    return MidiRefusal::None;
}

MovieRefusal MovieMusicPerformance(std::span<const uint8_t> movieFile, MusicPerformance* out) {
    *out = {};
    MovieFileInfo info;
    const MovieRefusal refusal = ReadMovieFile(movieFile, &info);
    if (refusal != MovieRefusal::None)
        return refusal;
    out->durationMilliseconds = Rescale(info.duration, info.timeScale, 1000);
    for (const DecodedTrack& t : MusicTracks(movieFile, info)) {
        ++out->musicTracks;
        for (const Timed& m : TrackMessages(t.music))
            out->messages.push_back({Rescale(m.time, t.timeScale, 1000), m.status, m.data1, m.data2});
    }
    std::stable_sort(out->messages.begin(), out->messages.end(),
                     [](const TimedMidiMessage& a, const TimedMidiMessage& b) { return a.milliseconds < b.milliseconds; });
    return MovieRefusal::None;
}

MovieRefusal MovieFileToMidiFile(std::span<const uint8_t> movieFile, std::vector<uint8_t>* midiFile) {
    midiFile->clear();
    MovieFileInfo info;
    const MovieRefusal refusal = ReadMovieFile(movieFile, &info);
    if (refusal != MovieRefusal::None)
        return refusal;
    const std::vector<DecodedTrack> tracks = MusicTracks(movieFile, info);
    if (tracks.empty())
        return MovieRefusal::NoMovie;
    // A tick is one unit of the first track's time scale where the scale allows: at 120 beats
    // a minute a quarter note is half a second.
    const uint32_t scale = tracks[0].timeScale;
    const uint16_t division = scale % 2 == 0 && scale / 2 <= 0x7FFF ? static_cast<uint16_t>(scale / 2) : 480;
    const uint64_t ticksPerSecond = uint64_t{division} * 2;
    std::vector<MidiMessage> messages;
    for (const DecodedTrack& t : tracks)
        for (const Timed& m : TrackMessages(t.music))
            messages.push_back({Rescale(m.time, t.timeScale, ticksPerSecond), m.status, m.data1, m.data2});
    const uint64_t endTick = Rescale(info.duration, info.timeScale, ticksPerSecond);
    *midiFile = WriteMidiFile(division, kMidiDefaultTempo, messages, endTick);
    return MovieRefusal::None;
}
