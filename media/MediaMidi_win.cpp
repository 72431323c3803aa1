// MIDI files and 'Midi' resources: a MIDI file is stored as the bytes of the movie file the
// importer makes of it, and written back out through the exporter; the stored data itself is
// only ever read.
#include <windows.h>

#include <new>

#include "media/MediaManager.h"
#include "media/MediaManagerState.h"
#include "media/elements/QTElements.h"
#include "quicktime/QtCalls.h"
#include "media/support/MovieFileRecord.h"

namespace {

constexpr QtOSType kMidiCreator = QtFourCC("TVOD");
constexpr int16_t kMidiExportVolume = 127;
constexpr int kMidiExportFailed = 16;
// A movie made of a MIDI file is small; anything larger is no import of ours.
constexpr LONG kMidiMovieLimit = 64 * 1024 * 1024;

// The whole file in a new handle; 0 when it cannot be read.
Handle ReadWholeFile(const char* path) {
    const HFILE file = _lopen(path, OF_READ | OF_SHARE_DENY_WRITE);
    if (file == HFILE_ERROR)
        return 0;
    Handle data = 0;
    const LONG length = _llseek(file, 0, FILE_END);
    if (length >= 0 && length <= kMidiMovieLimit && _llseek(file, 0, FILE_BEGIN) == 0) {
        data = NewHandle(static_cast<uint32_t>(length));
        uint8_t* bytes = data ? LockHandle(data) : nullptr;
        const bool read = bytes && (length == 0 || _lread(file, bytes, static_cast<UINT>(length)) == static_cast<UINT>(length));
        if (bytes)
            UnlockHandle(data);
        if (!read)
            DisposeHandleAndClear(&data);
    }
    _lclose(file);
    return data;
}

}  // namespace

Handle MediaImportMidiFile(const char* path) {
    if (!TheMediaManager() || !path)
        return 0;
    // The element's temporary "MID" movie file holds the import; it goes with the element.
    QTSoundElement element(path);
    if (OpenElementMovieFile(element) != 0 || !element.temporaryFile[0])
        return 0;
    char temporary[kMediaPathChars] = {};
    CopyMemory(temporary, element.temporaryFile + 1, element.temporaryFile[0]);
    return ReadWholeFile(temporary);
}

int MediaExportMidiFile(Handle midi, const char* path) {
    MediaManager* m = TheMediaManager();
    if (!m || !midi || !path)
        return kMidiExportFailed;
    // The element plays a copy of the data: the stored 'Midi' stays as it is.
    QTSoundElement element(midi, kSoundMidi, kMidiExportVolume);
    if (!element.Open(*m, 1) || !element.movie)
        return kMidiExportFailed;
    QtFSSpec output{};
    // A file not there yet still gets its spec (fnfErr): it is the output.
    if (const QtErr error = MovieFileRecord(path, &output); error != kQtNoErr && error != kQtFnfErr)
        return error;
    QtComponentInstance exporter = OpenDefaultComponent(kQtMovieExportType, kQtMidiSubType);
    if (!exporter)
        return kQtCantFindHandler;
    const QtErr error = ConvertMovieToFile(element.movie, nullptr, &output, kQtMidiSubType, kMidiCreator, -1, nullptr, 0,
                                           exporter);
    CloseComponent(exporter);
    return error;
}
