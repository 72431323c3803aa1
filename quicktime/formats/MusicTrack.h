// Music media: the 32-bit big-endian event words of a music track's samples and the note
// requests of its sample description ('musi'), and their turn into MIDI messages and back.
//
// Events run in time order: a note starts at the current time and lasts its duration; a rest
// moves the current time on; an end marker closes the sample. Short notes hold part (5 bits),
// pitch - 32 (6), velocity (7) and duration (11); extended notes (two words) part (12), pitch
// (16; above 255 an 8.8 pitch), velocity (7) and duration (22). Controllers carry an 8.8 value.
// A general event's head and tail words carry its length in words; the note request (subtype
// 1) gives a part its instrument.
//
//   MusicTrack.cpp   the event words: decoding, encoding
//   MidiMovie.cpp    music tracks to and from MIDI messages; the 'Midi' conversions of files
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MovieFile.h"

inline constexpr uint32_t kMusicEndMarker = 0x60000000;
inline constexpr uint32_t kMusicDrumKit = 16385;  // the General MIDI drum kit's instrument number
inline constexpr uint16_t kMusicPitchBend = 32;   // controllers apart from the MIDI numbers
inline constexpr uint16_t kMusicAfterTouch = 33;

enum class MusicEventKind : uint8_t { Note, Controller, Instrument };

struct MusicEvent {
    uint32_t time = 0;  // in the media's time scale
    MusicEventKind kind = MusicEventKind::Note;
    uint16_t part = 0;
    uint16_t number = 0;     // note: MIDI pitch; controller: its number; instrument: GM number (1-128, kits from 16385)
    int32_t value = 0;       // note: velocity; controller: 8.8 value
    uint32_t duration = 0;   // note
};

struct MusicTrackEvents {
    std::vector<MusicEvent> instruments;  // the description's note requests, one per part
    std::vector<MusicEvent> events;       // by time
    uint32_t endTime = 0;                 // the time the rests reached (at least the last note's end)
};

// Decodes the description's note requests (the bytes after the 16-byte header and the flags).
void DecodeMusicHeader(std::span<const uint8_t> description, MusicTrackEvents* out);
// Decodes a sample's events from the time it starts at; stops at its end marker or its end.
void DecodeMusicEvents(std::span<const uint8_t> sample, uint32_t startTime, MusicTrackEvents* out);
// A whole 'musi' sample description (header, flags, note requests of the instruments, end marker).
std::vector<uint8_t> EncodeMusicDescription(std::span<const MusicEvent> instruments);
// A sample of the events (any order; sorted by time here), rests up to endTime, the end marker.
std::vector<uint8_t> EncodeMusicEvents(std::span<const MusicEvent> events, uint32_t endTime);

// A channel message at a time in milliseconds.
struct TimedMidiMessage {
    uint32_t milliseconds = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
// What a movie's music tracks ask of a MIDI device, and how long the movie lasts.
struct MusicPerformance {
    std::vector<TimedMidiMessage> messages;  // by time; at one time notes off before notes on
    uint32_t durationMilliseconds = 0;       // the movie's duration
    int musicTracks = 0;                     // music tracks found (0: nothing to play)
};
// The music tracks of a movie file (every enabled 'musi' track, mixed); refused as the reader refuses.
MovieRefusal MovieMusicPerformance(std::span<const uint8_t> movieFile, MusicPerformance* out);

// 'eat ' 'Midi': a standard MIDI file as a movie file with one music track (time scale 600)
// lasting until the file's last event. Refused as the MIDI reader refuses.
MidiRefusal MidiFileToMovieFile(std::span<const uint8_t> midiFile, std::vector<uint8_t>* movieFile);
// 'spit' 'Midi': the music tracks of a movie file as a format 0 MIDI file with the same notes at
// the same times. NoMovie when the movie is refused or holds no music track.
MovieRefusal MovieFileToMidiFile(std::span<const uint8_t> movieFile, std::vector<uint8_t>* midiFile);

// The channel messages of a MIDI file with their times in milliseconds (the tempo map applied)
// and the file's length in milliseconds.
std::vector<TimedMidiMessage> MidiFileMessages(const MidiFile& midi, uint32_t* lengthMilliseconds);
