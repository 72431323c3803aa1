// MIDI: files into movie files and back, the music tracks of movie data as timed MIDI messages
// for the sequencer (what the stand-in cannot turn into messages stays silent, and the movie
// still lasts its stated duration), and the conversion calls with the importer ('eat ') and
// exporter ('spit') components of subtype 'Midi'.
#include "quicktime/dll/StandInMidi.h"

#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInFiles.h"
#include "quicktime/dll/StandInMovies.h"
#include "quicktime/formats/MusicTrack.h"

namespace {

constexpr QtOSType kMidiComponentType = QtFourCC("Midi");
int g_marker = 0;  // the components keep no state: every instance points here

void* OpenMidiOnly(QtOSType subType) { return subType == kMidiComponentType ? &g_marker : nullptr; }
intptr_t NoCalls(void*, int16_t, const QtWord*, int) { return kQtBadComponentSelector; }

constexpr StandInComponentKind kImporter{kQtMovieImportType, OpenMidiOnly, NoCalls, nullptr};
constexpr StandInComponentKind kExporter{kQtMovieExportType, OpenMidiOnly, NoCalls, nullptr};

// A component given to a conversion must be ours of the right kind; none means the default.
bool Usable(QtWord component, const StandInComponentKind* kind) {
    return component == 0 || StandInInstanceState(reinterpret_cast<QtComponentInstance>(component), kind) != nullptr;
}

}  // namespace

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

const StandInComponentKind* StandInMovieImportKind() { return &kImporter; }
const StandInComponentKind* StandInMovieExportKind() { return &kExporter; }

// ConvertFileToMovieFile (input, output, creator, scriptTag, resId*, flags, component).
intptr_t DoConvertFileToMovieFile(const QtWord* a) {
    const std::string input = StandInFSSpecPath(reinterpret_cast<const QtFSSpec*>(a[0]));
    const std::string output = StandInFSSpecPath(reinterpret_cast<const QtFSSpec*>(a[1]));
    if (auto* resId = reinterpret_cast<int16_t*>(a[4]))
        *resId = 0;
    if (input.empty() || output.empty())
        return kQtBadFileName;
    if (!Usable(a[6], &kImporter))
        return kQtBadComponentInstance;
    std::vector<uint8_t> midi, movie;
    if (!ReadStandInFile(input, kStandInMaxMidiFile, &midi))
        return kQtFnfErr;
    if (const int32_t err = StandInMidiToMovieFile(midi, &movie))
        return err;
    return WriteStandInFile(output, movie) ? kQtNoErr : kStandInCannotWrite;
}

// ConvertMovieToFile (movie, onlyTrack, output, fileType, creator, scriptTag, resId*, flags,
// component): a movie with a music track as a standard MIDI file.
intptr_t DoConvertMovieToFile(const QtWord* a) {
    const StandInMovie* movie = FindStandInMovie(a[0]);
    const std::string output = StandInFSSpecPath(reinterpret_cast<const QtFSSpec*>(a[2]));
    if (auto* resId = reinterpret_cast<int16_t*>(a[6]))
        *resId = 0;
    if (!movie)
        return kQtInvalidMovie;
    if (output.empty())
        return kQtBadFileName;
    if (!Usable(a[8], &kExporter) || static_cast<QtOSType>(a[3]) != kMidiComponentType)
        return kQtCantFindHandler;
    std::vector<uint8_t> midi;
    if (const int32_t err = StandInMovieToMidiFile(*movie, &midi))
        return err;
    return WriteStandInFile(output, midi) ? kQtNoErr : kStandInCannotWrite;
}
