// Music: MIDI files into movie files and back, and the music tracks of movie data as timed MIDI
// messages for the sequencer. What the stand-in cannot turn into messages stays silent, and the
// movie still lasts its stated duration.
#include "quicktime/dll/StandInMidi.h"

#include "quicktime/formats/MusicTrack.h"

int32_t StandInMidiToMovieFile(std::span<const uint8_t> midi, std::vector<uint8_t>* movieFile) {
    return MidiFileToMovieFile(midi, movieFile) == MidiRefusal::None ? kQtNoErr : kQtCantFindHandler;
}

int32_t StandInMovieToMidiFile(const StandInMovie& movie, std::vector<uint8_t>* midi) {
    if (movie.musicSource.empty())
        return kQtCantFindHandler;  // no music track: nothing to write
    return MovieFileToMidiFile(movie.musicSource, midi) == MovieRefusal::None ? kQtNoErr : kQtCantFindHandler;
}

void AddStandInMusic(std::span<const uint8_t> file, const MovieFileInfo& info, StandInMovie* movie) {
    bool hasMusic = false;
    for (const MovieTrack& track : info.tracks)
        hasMusic = hasMusic || track.mediaType == kStandInMusic;
    if (!hasMusic)
        return;
    movie->musicSource.assign(file.begin(), file.end());  // kept for export, as it came
    MusicPerformance performance;
    if (MovieMusicPerformance(file, &performance) != MovieRefusal::None)
        return;
    for (const TimedMidiMessage& m : performance.messages) {
        StandInMidiEvent event;
        event.ms = m.milliseconds;
        event.message = {m.status, m.data1};
        if (MidiDataBytes(m.status) > 1)
            event.message.push_back(m.data2);
        movie->music.push_back(std::move(event));
    }
}
