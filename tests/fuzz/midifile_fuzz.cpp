// Arbitrary bytes as a MIDI file: the events stay inside the file, times never go back, and the
// file imported as a movie, as playing it does, performs for at least the file's length. (The
// export of a movie's music back to a file is the moviefile target's and the unit tests'.)
#include <vector>

#include "quicktime/formats/MidiFile.h"
#include "quicktime/formats/MusicTrack.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 14))
        return 0;
    const std::span<const uint8_t> file(data, size);
    MidiFile midi;
    if (ReadMidiFile(file, &midi) != MidiRefusal::None)
        return 0;
    uint64_t tick = 0;
    for (const MidiEvent& e : midi.events) {
        FuzzCheck(e.tick >= tick && e.tick <= midi.endTick);
        FuzzCheck(e.payload.empty() || (e.payload.data() >= data && e.payload.data() + e.payload.size() <= data + size));
        tick = e.tick;
    }
    uint32_t length = 0;
    const std::vector<TimedMidiMessage> messages = MidiFileMessages(midi, &length);
    for (const TimedMidiMessage& m : messages)
        FuzzCheck(m.milliseconds <= length);
    std::vector<uint8_t> movie;
    FuzzCheck(MidiFileToMovieFile(file, &movie) == MidiRefusal::None);
    MusicPerformance played;
    FuzzCheck(MovieMusicPerformance(movie, &played) == MovieRefusal::None && played.musicTracks == 1);
    // The movie lasts at least as long as the file, to the movie's 600ths of a second.
    FuzzCheck(uint64_t{played.durationMilliseconds} + 2 >= length);
    return 0;
}
