// MIDI through the movie calls: the importer ('eat ') and exporter ('spit') components of
// subtype 'Midi', which ConvertFileToMovieFile and ConvertMovieToFile are given.
#include "quicktime/dll/StandInMidi.h"

#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInFiles.h"
#include "quicktime/dll/StandInMovieFiles.h"

namespace {

constexpr QtOSType kMidi = QtFourCC("Midi");
int g_marker = 0;  // the components keep no state: every instance points here

void* OpenMidiOnly(QtOSType subType) { return subType == kMidi ? &g_marker : nullptr; }
intptr_t NoCalls(void*, int16_t, const QtWord*, int) { return kQtBadComponentSelector; }

constexpr StandInComponentKind kImporter{kQtMovieImportType, OpenMidiOnly, NoCalls, nullptr};
constexpr StandInComponentKind kExporter{kQtMovieExportType, OpenMidiOnly, NoCalls, nullptr};

// A component given to a conversion must be ours of the right kind; none means the default.
bool Usable(QtWord component, const StandInComponentKind* kind) {
    return component == 0 || StandInInstanceState(reinterpret_cast<QtComponentInstance>(component), kind) != nullptr;
}

}  // namespace

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
    if (!Usable(a[8], &kExporter) || static_cast<QtOSType>(a[3]) != kMidi)
        return kQtCantFindHandler;
    std::vector<uint8_t> midi;
    if (const int32_t err = StandInMovieToMidiFile(*movie, &midi))
        return err;
    return WriteStandInFile(output, midi) ? kQtNoErr : kStandInCannotWrite;
}
