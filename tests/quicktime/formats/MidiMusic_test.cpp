// MIDI files, the tempo map, music track events and the 'Midi' conversions. The MIDI files are
// built here byte by byte; notes are compared as (channel, pitch, on, off, velocity) in ms.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "BuilderMedia.h"
#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MusicTrack.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Note = std::tuple<int, int, uint32_t, uint32_t, int>;  // channel, pitch, on, off, velocity

void Be16(Bytes* b, uint32_t v) {
    b->push_back(uint8_t(v >> 8));
    b->push_back(uint8_t(v));
}
void Be32(Bytes* b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v);
}
Bytes Chunk(const char (&id)[5], const Bytes& body) {
    Bytes b(id, id + 4);
    Be32(&b, uint32_t(body.size()));
    b.insert(b.end(), body.begin(), body.end());
    return b;
}
Bytes Smf(uint16_t format, uint16_t division, std::initializer_list<Bytes> tracks) {
    Bytes header;
    Be16(&header, format);
    Be16(&header, uint16_t(tracks.size()));
    Be16(&header, division);
    Bytes b = Chunk("MThd", header);
    for (const Bytes& t : tracks) {
        const Bytes c = Chunk("MTrk", t);
        b.insert(b.end(), c.begin(), c.end());
    }
    return b;
}

Bytes TwoSecondPiece() { return stackbuilder::TwoSecondMidiFile(); }

std::vector<Note> NotesOf(std::span<const TimedMidiMessage> messages) {
    std::vector<Note> notes;
    std::vector<std::tuple<int, int, uint32_t, int>> open;
    for (const TimedMidiMessage& m : messages) {
        const int kind = m.status & 0xF0, channel = m.status & 0x0F;
        if (kind == 0x90 && m.data2 > 0) {
            open.emplace_back(channel, m.data1, m.milliseconds, m.data2);
        } else if (kind == 0x80 || kind == 0x90) {
            auto it = std::find_if(open.begin(), open.end(), [&](const auto& o) {
                return std::get<0>(o) == channel && std::get<1>(o) == m.data1;
            });
            if (it == open.end())
                continue;
            notes.emplace_back(channel, m.data1, std::get<2>(*it), m.milliseconds, std::get<3>(*it));
            open.erase(it);
        }
    }
    std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return std::get<2>(a) < std::get<2>(b); });
    return notes;
}

bool Has(std::span<const TimedMidiMessage> messages, uint32_t ms, uint8_t status, uint8_t data1) {
    return std::any_of(messages.begin(), messages.end(), [&](const TimedMidiMessage& m) {
        return m.milliseconds == ms && m.status == status && m.data1 == data1;
    });
}

std::vector<Note> PieceNotes() {
    std::vector<Note> notes;
    for (const stackbuilder::PieceNote& n : stackbuilder::TwoSecondMidiNotes())
        notes.emplace_back(n.channel, n.pitch, n.on, n.off, n.velocity);
    return notes;
}
const std::vector<Note> kPieceNotes = PieceNotes();

TEST(MidiFile, ReadsTracksTempoAndRunningStatus) {
    const Bytes smf = TwoSecondPiece();  // events point into it
    MidiFile midi;
    ASSERT_EQ(ReadMidiFile(smf, &midi), MidiRefusal::None);
    EXPECT_EQ(midi.format, 1);
    EXPECT_EQ(midi.trackCount, 2);
    EXPECT_EQ(midi.endTick, 1680u);
    uint32_t length = 0;
    const std::vector<TimedMidiMessage> messages = MidiFileMessages(midi, &length);
    EXPECT_EQ(length, 2000u);
    EXPECT_EQ(NotesOf(messages), kPieceNotes);
    const MidiTempoMap map = TempoMapOf(midi);
    EXPECT_EQ(TickToMicroseconds(map, 480), 500000u);
    EXPECT_EQ(TickToMicroseconds(map, 1560), 1750000u);

    // SMPTE: 25 frames of 40 ticks, a millisecond a tick; 29 stands for 29.97.
    MidiFile smpte;
    smpte.division = uint16_t(uint8_t(-25)) << 8 | 40;
    EXPECT_EQ(TickToMicroseconds(TempoMapOf(smpte), 1000), 1000000u);
    smpte.division = uint16_t(uint8_t(-29)) << 8 | 1;
    EXPECT_EQ(TickToMicroseconds(TempoMapOf(smpte), 30), 1001000u);

    // Inside a RIFF "RMID" file.
    Bytes rmid = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'};
    for (int i = 0; i < 4; ++i)
        rmid.push_back(uint8_t(smf.size() >> (8 * i)));
    rmid.insert(rmid.end(), smf.begin(), smf.end());
    MidiFile wrapped;
    ASSERT_EQ(ReadMidiFile(rmid, &wrapped), MidiRefusal::None);
    EXPECT_EQ(wrapped.events.size(), midi.events.size());

    // Refusals, and every cut of the file reads within its bytes.
    MidiFile refused;
    EXPECT_EQ(ReadMidiFile(Bytes{'M', 'T', 'h', 'd', 0, 0}, &refused), MidiRefusal::Truncated);
    EXPECT_EQ(ReadMidiFile(Bytes(20, 'x'), &refused), MidiRefusal::NotMidi);
    EXPECT_EQ(ReadMidiFile(Smf(0, 0, {{0x00, 0xFF, 0x2F, 0x00}}), &refused), MidiRefusal::BadDivision);
    EXPECT_EQ(ReadMidiFile(Smf(0, 96, {}), &refused), MidiRefusal::NoTracks);
    for (size_t n = 14; n < smf.size(); ++n) {
        MidiFile cut;
        ReadMidiFile(Bytes(smf.begin(), smf.begin() + n), &cut);
        EXPECT_LE(cut.events.size(), midi.events.size());
    }
    // A delta that is not finished within four bytes, and data with no status, end the track.
    MidiFile odd;
    ASSERT_EQ(ReadMidiFile(Smf(0, 96, {{0x00, 0x40, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}), &odd), MidiRefusal::None);
    EXPECT_TRUE(odd.events.empty());
}

TEST(MidiFile, WrittenFileReadsBack) {
    const MidiMessage messages[] = {{960, 0x80, 60, 0}, {0, 0x90, 60, 127}, {0, 0xC3, 5, 0}, {1u << 29, 0x90, 61, 1}};
    const Bytes file = WriteMidiFile(96, 250000, messages, 100);
    MidiFile midi;
    ASSERT_EQ(ReadMidiFile(file, &midi), MidiRefusal::None);
    EXPECT_EQ(midi.format, 0);
    EXPECT_EQ(midi.division, 96);
    uint32_t length = 0;
    const std::vector<TimedMidiMessage> back = MidiFileMessages(midi, &length);
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[0].status, 0x90);  // at one tick in the order given
    EXPECT_EQ(back[1].status, 0xC3);
    EXPECT_EQ(back[1].data1, 5);
    EXPECT_EQ(back[2].milliseconds, 2500u);  // 960 ticks at a quarter of a second a quarter
    EXPECT_EQ(midi.endTick, uint64_t{1} << 29);  // a gap past what one quantity holds
}

TEST(MusicTrack, EventWordsRoundTrip) {
    const std::vector<MusicEvent> events = {
        {0, MusicEventKind::Controller, 3, 7, 100 << 8, 0},
        {0, MusicEventKind::Note, 3, 60, 100, 300},
        {0, MusicEventKind::Note, 40, 61, 1, 10},          // a part past 31
        {5, MusicEventKind::Note, 3, 20, 64, 5000},        // low and long: extended
        {0x1000000 + 7, MusicEventKind::Instrument, 2, 41, 0, 0},
        {0x1000000 + 7, MusicEventKind::Controller, 2, kMusicPitchBend, -256, 0},
    };
    const Bytes sample = EncodeMusicEvents(events, 0x2000000);
    MusicTrackEvents decoded;
    DecodeMusicEvents(sample, 0, &decoded);
    EXPECT_EQ(decoded.endTime, 0x2000000u);
    ASSERT_EQ(decoded.events.size(), events.size());
    for (const MusicEvent& e : events) {
        SCOPED_TRACE(e.time);
        EXPECT_TRUE(std::any_of(decoded.events.begin(), decoded.events.end(), [&](const MusicEvent& d) {
            return d.time == e.time && d.kind == e.kind && d.part == e.part && d.number == e.number &&
                   d.value == e.value && d.duration == e.duration;
        }));
    }
    const MusicEvent kits[] = {{0, MusicEventKind::Instrument, 10, uint16_t(kMusicDrumKit), 0, 0}};
    MusicTrackEvents header;
    DecodeMusicHeader(EncodeMusicDescription(kits), &header);
    ASSERT_EQ(header.instruments.size(), 1u);
    EXPECT_EQ(header.instruments[0].number, kMusicDrumKit);
    EXPECT_EQ(header.instruments[0].part, 10);

    // A general event longer than the sample, and what follows an end marker, are not read.
    MusicTrackEvents hostile;
    const Bytes bad = {0xF0, 0x01, 0xFF, 0xFF, 0x21, 0x00, 0x00, 0x00};
    DecodeMusicEvents(bad, 0, &hostile);
    const Bytes ended = {0x60, 0, 0, 0, 0x21, 0x10, 0x20, 0x05};
    DecodeMusicEvents(ended, 0, &hostile);
    EXPECT_TRUE(hostile.events.empty());
}

TEST(MidiMovie, TwoSecondPieceImportsPlaysAndExportsTheSameNotes) {
    Bytes movie;
    ASSERT_EQ(MidiFileToMovieFile(TwoSecondPiece(), &movie), MidiRefusal::None);
    MovieFileInfo info;
    ASSERT_EQ(ReadMovieFile(movie, &info), MovieRefusal::None);
    EXPECT_EQ(info.timeScale, 600u);
    EXPECT_EQ(info.duration, 1200u);  // two seconds
    ASSERT_EQ(info.tracks.size(), 1u);
    EXPECT_EQ(info.tracks[0].mediaType, QtAtomType("musi"));
    EXPECT_EQ(info.tracks[0].duration, 1200u);

    MusicPerformance played;
    ASSERT_EQ(MovieMusicPerformance(movie, &played), MovieRefusal::None);
    EXPECT_EQ(played.musicTracks, 1);
    EXPECT_EQ(played.durationMilliseconds, 2000u);
    EXPECT_EQ(NotesOf(played.messages), kPieceNotes);
    EXPECT_TRUE(Has(played.messages, 0, 0xC0, 40));  // the violin
    EXPECT_TRUE(Has(played.messages, 0, 0xB0, 7));

    Bytes exported;
    ASSERT_EQ(MovieFileToMidiFile(movie, &exported), MovieRefusal::None);
    MidiFile again;
    ASSERT_EQ(ReadMidiFile(exported, &again), MidiRefusal::None);
    uint32_t length = 0;
    const std::vector<TimedMidiMessage> messages = MidiFileMessages(again, &length);
    EXPECT_EQ(length, 2000u);
    EXPECT_EQ(NotesOf(messages), kPieceNotes);
    EXPECT_TRUE(Has(messages, 0, 0xC0, 40));

    // Imported again, the export is the same movie.
    Bytes twice;
    ASSERT_EQ(MidiFileToMovieFile(exported, &twice), MidiRefusal::None);
    EXPECT_EQ(twice, movie);

    // A note of no length on a part of its own channel, after a drum kit on part 3: the kit
    // plays on channel 10, the note starts before it lets go.
    const MusicEvent kit[] = {{0, MusicEventKind::Instrument, 3, uint16_t(kMusicDrumKit), 0, 0}};
    const MusicEvent blip[] = {{60, MusicEventKind::Note, 5, 72, 99, 0}, {0, MusicEventKind::Note, 3, 38, 99, 6}};
    MovieTrackSpec music;
    music.mediaType = QtAtomType("musi");
    music.description = EncodeMusicDescription(kit);
    music.samples = EncodeMusicEvents(blip, 120);
    music.sampleDuration = 120;
    ASSERT_EQ(MovieMusicPerformance(WriteMovieFile(std::span(&music, 1)), &played), MovieRefusal::None);
    EXPECT_EQ(NotesOf(played.messages), (std::vector<Note>{{9, 38, 0, 10, 99}, {4, 72, 100, 100, 99}}));
    EXPECT_EQ(played.durationMilliseconds, 200u);
    // Behind an empty edit of half a second, from media time 6: the drum's start is cut off.
    music.edits = {{300, -1, 0x10000}, {114, 6, 0x10000}};
    ASSERT_EQ(MovieMusicPerformance(WriteMovieFile(std::span(&music, 1)), &played), MovieRefusal::None);
    EXPECT_EQ(NotesOf(played.messages), (std::vector<Note>{{4, 72, 590, 590, 99}}));
    EXPECT_EQ(played.durationMilliseconds, 690u);

    // A movie without music exports nothing; one with a silent track plays nothing for its length.
    MovieTrackSpec sound;
    sound.mediaType = QtAtomType("soun");
    sound.description = MakeSampleDescription(QtAtomType("raw "), Bytes(20));
    sound.samples = Bytes(600);
    sound.sampleCount = 600;
    sound.sampleSize = 1;
    sound.sampleDuration = 1;
    const Bytes soundMovie = WriteMovieFile(std::span(&sound, 1));
    EXPECT_EQ(MovieFileToMidiFile(soundMovie, &exported), MovieRefusal::NoMovie);
    ASSERT_EQ(MovieMusicPerformance(soundMovie, &played), MovieRefusal::None);
    EXPECT_EQ(played.musicTracks, 0);
    EXPECT_EQ(played.durationMilliseconds, 1000u);
}

}  // namespace
