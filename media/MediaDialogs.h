// The media manager's dialogs for a new movie or sound of a card, and the movie file reference
// they leave behind.
//
// The movie options dialog, the placing of a movie and the sound dialog are MINIMAL until
// their dialogs exist (MediaDialogs_win.cpp): each asks the answer installed with
// SetMediaDialogAnswers (tests answer so), and without one it is cancelled (the options: OK).
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "stack/format/ResFile.h"

struct ActionBlock;

// What the sound dialog chose. A file: its path is in file-spec slot 2. A recording: the
// stack resource request that stores it (pending until carried out by the caller).
struct AudioDeckChoice {
    uint16_t soundId = 0;       // the recorded sound's id as the dialog named it
    uint16_t typeFlags = 0;     // goes into the chunk's sound flags
    uint16_t isFile = 0;
    uint16_t parameter = 128;   // goes into the chunk's sound parameter
};

// ---- MediaMovieDialogs_win.cpp ----
// The options of a movie for a video chunk (tag 89; its rectangle, flags and volume are read
// and, for a newly chosen movie, written). fileGiven 1: slot 14's movie, located first (a
// missing one is chosen anew); 0: as MediaChooseMovie. 1 accepted, 0 cancelled, failed or no
// manager.
int MediaMovieOptions(std::span<uint8_t> videoChunk, int fileGiven);
// A movie file chosen (prompt 2409) into slots 14 and 0, placed on the card, its rectangle, flags
// and volume written into the chunk, then its options. 1 accepted, 0 cancelled or failed.
int MediaChooseMovie(std::span<uint8_t> videoChunk);
// Slot 14's movie measured into the block's movie fields (centred on the card); 1 measured.
int MediaMeasureMovieFile(ActionBlock* block);

// ---- MediaFileRef_win.cpp ----
// The manager's movie file reference (the packed slot 14): its own handle, 0 without manager.
Handle GetMediaFileRef();
// The reference packed again from slot 14; the slot argument is always 14.
void UpdateMediaFileRef();
void UpdateMediaFileRefFromSlot(int slot);
// What a saved movie action stores: the reference packed again from slot 14, as a new handle
// (the caller's); without a manager slot 14 packed directly, so the movie is not lost.
Handle NewStoredMovieReference();

// Runs the sound dialog; nonzero when confirmed. A recording leaves its resource request
// pending: TakeAudioDeckRequest hands it over (false when none waits).
int RunAudioDeckDialog(HWND window, AudioDeckChoice* choice);
bool TakeAudioDeckRequest(ResRequest* request);

// The answers of the dialogs: confirm or not and fill the choice; a recording also sets the
// pending request through SetAudioDeckRequest.
struct MediaDialogAnswers {
    int (*audioDeck)(AudioDeckChoice* choice) = nullptr;
    // The options dialog of a playing movie: these answers in turn (1, 2, 50 or 57), then 1.
    std::array<int, 4> movieOptionsDialog{};
    int movieOptionsDialogCount = 0;
    // Where the user drags a movie's rectangle; without it the rectangle stays.
    bool placesMovie = false;
    RECT moviePlace{};
};
void SetMediaDialogAnswers(const MediaDialogAnswers& answers);

// The answer that asks for the movie to be placed again.
inline constexpr int kMovieOptionsPlaceAgain = 57;
// MINIMAL until the movie options dialog exists: the next answer installed, else 1.
int RunMovieOptions(HWND window, int fromPlay);
// MINIMAL until the resize tracking of card objects places movies: the user drags the movie's
// rectangle (in the card window) with the preview; the installed place, else unchanged.
void PlaceMovieRect(HWND window, RECT* rect, HBITMAP preview);
void SetAudioDeckRequest(const ResRequest& request);
