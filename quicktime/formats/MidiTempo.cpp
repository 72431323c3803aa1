// The tempo map: ticks to microseconds from the tempo events of every track (ticks per quarter
// note), or from the SMPTE rate, which has no tempo.
#include "quicktime/formats/MidiFile.h"

#include <algorithm>

namespace {

// a * b / c without overflow for the sizes a file can hold, saturating past them.
uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
    const uint64_t whole = a / c;
    const uint64_t part = a % c;
    if (b != 0 && whole > UINT64_MAX / b / 2)
        return UINT64_MAX / 2;
    return whole * b + part * b / c;
}

}  // namespace

MidiTempoMap TempoMapOf(const MidiFile& midi) {
    MidiTempoMap map;
    map.division = midi.division;
    map.changes.push_back({0, 0, kMidiDefaultTempo});
    if (midi.division & 0x8000)
        return map;
    for (const MidiEvent& e : midi.events) {
        if (e.status != kMidiMeta || e.meta != kMidiMetaTempo || e.payload.size() < 3)
            continue;
        const uint32_t tempo = uint32_t{e.payload[0]} << 16 | uint32_t{e.payload[1]} << 8 | e.payload[2];
        if (tempo == 0)
            continue;
        const uint64_t at = TickToMicroseconds(map, e.tick);
        if (map.changes.back().tick == e.tick)
            map.changes.back().tempo = tempo;
        else
            map.changes.push_back({e.tick, at, tempo});
    }
    return map;
}

uint64_t TickToMicroseconds(const MidiTempoMap& map, uint64_t tick) {
    if (map.division & 0x8000) {
        // Frames a second (29 stands for 29.97) times ticks a frame.
        const uint64_t fps = static_cast<uint64_t>(-static_cast<int8_t>(map.division >> 8));
        const uint64_t perFrame = map.division & 0xFF;
        if (fps == 0 || perFrame == 0)
            return 0;
        if (fps == 29)
            return MulDiv(tick, 1001000, 30 * perFrame);
        return MulDiv(tick, 1000000, fps * perFrame);
    }
    if (map.division == 0 || map.changes.empty())
        return 0;
    auto next = std::upper_bound(map.changes.begin(), map.changes.end(), tick,
                                 [](uint64_t t, const MidiTempoChange& c) { return t < c.tick; });
    const MidiTempoChange& c = *std::prev(next);
    return std::min(c.microseconds + MulDiv(tick - c.tick, c.tempo, map.division), UINT64_MAX / 2);
}
