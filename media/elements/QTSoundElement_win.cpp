// A sound played through QuickTime: stored 'Snd ' data made into a sound movie, stored 'Midi'
// data read as the movie it is, or a sound or MIDI file; played at the element's volume scaled
// against the wave output's own.
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/ui/Alerts.h"
#include "media/elements/QTElements.h"
#include "media/elements/StoredSound.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QtCalls.h"

namespace {

constexpr int16_t kFullTrackVolume = 0x100;

bool g_waveVolumeAnswered = false;
uint32_t g_waveVolume = 0;

// The wave mapper's volume; false when it cannot be read.
bool ReadWaveVolume(uint32_t* value) {
    if (g_waveVolumeAnswered) {
        *value = g_waveVolume;
        return true;
    }
    DWORD volume = 0;
    if (waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(WAVE_MAPPER)), &volume) != MMSYSERR_NOERROR)
        return false;
    *value = volume;
    return true;
}

// A new QuickTime handle holding the bytes; null when none can be had.
QtHandle CopyToQtHandle(std::span<const uint8_t> bytes) {
    QtHandle h = QTNewHandle(static_cast<uint32_t>(bytes.size()));
    if (h && !bytes.empty())
        std::memcpy(*h, bytes.data(), bytes.size());
    return h;
}

// A 'hndl' data reference: a handle holding the data's handle.
QtHandle HandleDataRef(QtHandle data) {
    QtHandle ref = QTNewHandle(sizeof data);
    if (ref)
        std::memcpy(*ref, &data, sizeof data);
    return ref;
}

}  // namespace

int16_t ScaledSoundVolume(int volume, uint32_t left) {
    const int64_t scaled = left ? int64_t{65535 / left} * volume : volume;
    return static_cast<int16_t>(std::clamp<int64_t>(scaled, INT16_MIN, INT16_MAX));
}

void SetWaveVolumeAnswer(bool answered, uint32_t value) {
    g_waveVolumeAnswered = answered;
    g_waveVolume = value;
}

QTSoundElement::QTSoundElement(Handle data, uint32_t soundFlags, int16_t soundVolume) {
    source = data;
    sourceBytes = data ? LockHandle(data) : nullptr;
    flags = soundFlags;
    volume = soundVolume;
    keep = (soundFlags & kMediaFlagKeep) ? 1 : 0;
    mode = (soundFlags & kMediaFlagFirstFrame) ? kQTModeMidi : kQTModeSound;
    objectId = -1;
}

QTSoundElement::QTSoundElement(const char* file, uint32_t soundFlags, int16_t soundVolume) {
    if (file)
        CopyPathText(file, path, sizeof path);
    flags = soundFlags;
    volume = soundVolume;
    keep = (soundFlags & kMediaFlagKeep) ? 1 : 0;
    mode = HasExtension(path, "mid") ? kQTModeMidi : kQTModeSound;
    objectId = -1;
}

QTSoundElement::QTSoundElement(const char* file) {
    if (file)
        CopyPathText(file, path, sizeof path);
    mode = kQTModeMidi;
    objectId = -1;
}

QTSoundElement::~QTSoundElement() {
    // The movie reads the copies: it goes first.
    Close();
    if (soundDataRef)
        QTDisposeHandle(soundDataRef);
    soundDataRef = nullptr;
    if (source && sourceBytes)
        UnlockHandle(source);
    sourceBytes = nullptr;
    if (movieData)
        QTDisposeHandle(movieData);
    movieData = nullptr;
}

namespace {

// Stored 'Snd ' data as a movie of one sound track.
int StoredSoundMovie(QTSoundElement& e) {
    const std::span<const uint8_t> data(e.sourceBytes, GetHandleSize(e.source));
    StoredSoundLayout layout;
    if (!ReadStoredSoundLayout(data, &layout)) {
        ShowAlert(kAlertUnreadableSound);
        return 0;
    }
    const auto description = StoredSoundDescription(layout);
    e.soundDataRef = CopyToQtHandle(data);
    QtHandle descriptionHandle =
        CopyToQtHandle({reinterpret_cast<const uint8_t*>(&description), sizeof description});
    QtHandle ref = e.soundDataRef ? HandleDataRef(e.soundDataRef) : nullptr;
    bool made = false;
    if (descriptionHandle && ref) {
        e.movie = NewMovie(kQtNewMovieActive);
        QtTrack track = e.movie ? NewMovieTrack(e.movie, 0, 0, kFullTrackVolume) : nullptr;
        QtMedia media = track ? NewTrackMedia(track, kQtSoundMediaType, static_cast<QtTimeScale>(layout.rate >> 16), ref,
                                              kQtHandleDataRef)
                              : nullptr;
        if (media && BeginMediaEdits(media) == kQtNoErr) {
            const QtErr added = AddMediaSample(media, e.soundDataRef, static_cast<int32_t>(layout.dataOffset),
                                               layout.byteCount, 1, descriptionHandle,
                                               static_cast<int32_t>(layout.sampleCount), 0, nullptr);
            EndMediaEdits(media);
            made = added == kQtNoErr &&
                   InsertMediaIntoTrack(track, 0, 0, static_cast<QtTimeValue>(layout.sampleCount), kQtFixed1) == kQtNoErr;
        }
    }
    if (ref)
        QTDisposeHandle(ref);
    if (descriptionHandle)
        QTDisposeHandle(descriptionHandle);
    return made ? 1 : 0;
}

// Stored 'Midi' data is a movie file's bytes: QuickTime reads a copy, the source stays as it is.
int StoredMidiMovie(QTSoundElement& e) {
    e.movieData = CopyToQtHandle(std::span<const uint8_t>(e.sourceBytes, GetHandleSize(e.source)));
    QtHandle ref = e.movieData ? HandleDataRef(e.movieData) : nullptr;
    if (!ref)
        return 0;
    QtMovie movie = nullptr;
    const QtErr error = NewMovieFromDataRef(&movie, kQtNewMovieActive, nullptr, ref, kQtHandleDataRef);
    QTDisposeHandle(ref);
    if (error != kQtNoErr || !movie)
        return 0;
    e.movie = movie;
    return 1;
}

}  // namespace

int QTSoundElement::Open(const Window& target, int) {
    delete window;
    window = new QTWindow(this, target);
    int made = 0;
    if (source && sourceBytes)
        made = mode == kQTModeMidi ? StoredMidiMovie(*this) : StoredSoundMovie(*this);
    else
        made = OpenElementMovieFile(*this) == 0;
    if (!made || !movie)
        return 0;
    const QtRect box{0, 0, static_cast<int16_t>(rect.bottom - rect.top), static_cast<int16_t>(rect.right - rect.left)};
    controller = NewMovieController(movie, &box, kMcNotVisible);
    return controller ? 1 : 0;
}

int QTSoundElement::Play() {
    if (!movie || !controller)
        return 0;
    GoToBeginningOfMovie(movie);
    SetVolume(volume);
    MCDoAction(controller, kMcActionPlay, static_cast<QtWord>(GetMoviePreferredRate(movie)));
    return 0;
}

void QTSoundElement::SetVolume(int value) {
    uint32_t wave = 0;
    const uint32_t left = ReadWaveVolume(&wave) ? (wave & 0xFFFF) : 0;
    if (controller)
        MCDoAction(controller, kMcActionSetVolume, static_cast<QtWord>(static_cast<uint16_t>(ScaledSoundVolume(value, left))));
}
