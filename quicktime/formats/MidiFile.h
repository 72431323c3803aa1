// Standard MIDI files: the reader (format 0, 1 and 2, running status, meta and system exclusive
// events, a RIFF "RMID" wrapper), the tempo map that times ticks without a device, and a writer
// of one-track files. Every length is checked against its track; a track cut short keeps the
// events before the cut.
//
//   MidiFile.cpp   reading and writing
//   MidiTempo.cpp  the tempo map: ticks to microseconds
#pragma once

#include <cstdint>
#include <span>
#include <vector>

inline constexpr uint8_t kMidiMeta = 0xFF;
inline constexpr uint8_t kMidiMetaEndOfTrack = 0x2F;
inline constexpr uint8_t kMidiMetaTempo = 0x51;
inline constexpr uint32_t kMidiDefaultTempo = 500000;  // microseconds per quarter note: 120 beats a minute

struct MidiEvent {
    uint64_t tick = 0;
    uint16_t track = 0;
    uint8_t status = 0;  // 0x80-0xEF a channel message, 0xF0 or 0xF7 system exclusive, 0xFF meta
    uint8_t meta = 0;    // the meta type
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    std::span<const uint8_t> payload;  // meta or system exclusive bytes, inside the file
};

struct MidiFile {
    uint16_t format = 0;
    uint16_t trackCount = 0;  // tracks read
    uint16_t division = 0;    // ticks per quarter note, or SMPTE (high bit set)
    std::vector<MidiEvent> events;  // every track's, by tick; at one tick in track and file order
    uint64_t endTick = 0;           // the last event's tick (an end of track included)
};

enum class MidiRefusal : uint8_t {
    None,
    NotMidi,      // no "MThd"
    Truncated,    // the header is cut short
    BadDivision,  // 0 ticks per quarter note, or an SMPTE rate of no frames or ticks
    NoTracks,
};

MidiRefusal ReadMidiFile(std::span<const uint8_t> file, MidiFile* midi);
// The data bytes a channel message of the status takes: 1 or 2.
int MidiDataBytes(uint8_t status);

// When each tempo starts.
struct MidiTempoChange {
    uint64_t tick = 0;
    uint64_t microseconds = 0;  // at the tick
    uint32_t tempo = 0;         // microseconds per quarter note
};
struct MidiTempoMap {
    uint16_t division = 0;
    std::vector<MidiTempoChange> changes;  // the first at tick 0
};
MidiTempoMap TempoMapOf(const MidiFile& midi);
uint64_t TickToMicroseconds(const MidiTempoMap& map, uint64_t tick);

// A channel message of a file to be written.
struct MidiMessage {
    uint64_t tick = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};
// A format 0 file: the tempo at tick 0, the messages in tick order (stably sorted), the end of
// the track at endTick or after the last message.
std::vector<uint8_t> WriteMidiFile(uint16_t division, uint32_t tempo, std::span<const MidiMessage> messages,
                                   uint64_t endTick);
