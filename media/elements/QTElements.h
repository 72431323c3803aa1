// The QuickTime media elements: movies (QTMovieElement), sounds from stored 'Snd ' or 'Midi'
// data or from files (QTSoundElement), and picture files opened as movies to take their frames
// (QTImageElement), with the opening and inspection of movie files they share.
//
//   MovieFiles_win.cpp        opening a movie file (MIDI through a temporary movie), inspection
//   QTMovieElement_win.cpp    the movie element: open, controller, play, measure
//   MovieStill_win.cpp        the movie's still picture and its placement on the card
//   QTSoundElement_win.cpp    the sound element and its volume
//   QTImageElement_win.cpp    picture files: image count and frames
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "media/support/MediaElement.h"
#include "quicktime/QtTypes.h"

inline constexpr uint32_t kAlertNoPictures = 2275;
inline constexpr uint32_t kAlertUnsupportedCompression = 2358;
inline constexpr int kMediaOpenFailed = 16;
// Extra height of a visible controller bar under a QuickTime movie.
inline constexpr int kQTControllerHeight = 16;

// ---- MovieFiles_win.cpp ----
// Opens the element's file as its movie (a ".mid" file through a temporary "MID" movie file it
// then owns): 0 or the QuickTime error (16 when the MIDI import fails).
int OpenElementMovieFile(QTElement& element);
// The four inspection steps after opening; false (alert 2358 shown) when the movie cannot play.
bool InspectElementMovie(QTElement& element);
// Both of the above; false on any failure.
bool OpenAndInspectMovie(QTElement& element);
// The controller is shown for a movie naming its own controller type only with flag 0x200,
// for others with flag 0x1.
bool IsControllerVisible(const MediaElement& element);
bool HasExtension(const char* path, const char* extension);  // without the dot, any case
// The window a movie is placed in: its window's parent, else the card window.
HWND MovieCardWindow(const QTElement& element);

class QTMovieElement : public QTElement, public MediaDrawable {
public:
    // From a media action record and the movie's path.
    QTMovieElement(std::span<const uint8_t> record, const char* path);
    explicit QTMovieElement(const char* path);

    int Open(const Window& target, int mode) override;
    int PrepareStill() override;  // also the drawable's
    int ShowOptions() override;
    int Play() override;
    void DrawStill(HDC surface) override;
    int Measure(std::span<uint8_t> record) override;

    int OptionsDialog(int fromPlay, int unused) override;
    void GetNaturalBounds() override;
    HBITMAP DrawToDC(HDC dc, HPALETTE palette) override;

    // The controller made for the opened movie, clipped by the card objects over it; 1 on success.
    int MakeController(const Window& target);

private:
    // The user drags the rectangle with the still as preview; the movie goes again.
    void PlaceOnCard();
};

class QTSoundElement : public QTElement {
public:
    // Stored data ('Snd ', or 'Midi' with flag 0x4), locked for the element's life.
    QTSoundElement(Handle data, uint32_t flags, int16_t volume);
    // A sound or MIDI file (MIDI by its extension).
    QTSoundElement(const char* path, uint32_t flags, int16_t volume);
    // A MIDI file to import.
    explicit QTSoundElement(const char* path);
    ~QTSoundElement() override;

    int Open(const Window& target, int mode) override;
    int Play() override;
    void SetVolume(int volume) override;

    uint32_t unused[4] = {};
    Handle source = 0;            // the stored data; none for a file
    uint8_t* sourceBytes = nullptr;
    int16_t keep = 0;             // flag 0x2
    QtHandle movieData = nullptr;  // QuickTime's copy of the data while the movie plays
    QtHandle soundDataRef = nullptr;  // the sound media's data reference, made from stored 'Snd '
};

// The value a sound's controller is given for volume v when the wave mapper's left channel is
// left (0 when it could not be read): computed in 32 bits and kept within the controller's range.
int16_t ScaledSoundVolume(int volume, uint32_t left);
// What waveOutGetVolume answers; tests replace it (false: the real call again).
void SetWaveVolumeAnswer(bool answered, uint32_t value);

class QTImageElement : public QTElement {
public:
    explicit QTImageElement(const char* path);

    int Open(const Window& target, int mode) override;
    // The sum of the media sample counts of all tracks.
    int CountImages();
    // The frames as packed DIB handles in a movable global block of handles (frames: none when
    // there are none); 1 on success, even with no frames when no drawing world could be made.
    int DecodeFrames(HGLOBAL* frames, int* count);
};
