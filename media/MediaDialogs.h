// The media manager's dialogs for a new movie or sound of a card, and the movie file reference
// they leave behind.
//
// MINIMAL until the media manager's dialogs exist (MediaDialogs_win.cpp): no dialog is shown;
// each call asks the answer installed with SetMediaDialogAnswers (tests answer so), and without
// one it is cancelled.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "core/memory/Handles.h"
#include "stack/format/ResFile.h"

inline constexpr size_t kMovieChoiceBytes = 22;

// What the sound dialog chose. A file: its path is in file-spec slot 2. A recording: the
// stack resource request that stores it (pending until carried out by the caller).
struct AudioDeckChoice {
    uint16_t soundId = 0;       // the recorded sound's id as the dialog named it
    uint16_t typeFlags = 0;     // goes into the chunk's sound flags
    uint16_t isFile = 0;
    uint16_t parameter = 128;   // goes into the chunk's sound parameter
};

// Runs the movie options dialog for a new movie (file: none or its path); the chosen movie
// stays the manager's file reference. Nonzero when confirmed.
int MediaMovieOptions(HWND window, uint8_t choice[kMovieChoiceBytes], const char* file, uint32_t flags);
// A new handle holding the manager's movie file reference (the packed slot 14); 0 when none.
Handle GetMediaFileRef();
// The reference taken again from slot 14.
void UpdateMediaFileRef();

// Runs the sound dialog; nonzero when confirmed. A recording leaves its resource request
// pending: TakeAudioDeckRequest hands it over (false when none waits).
int RunAudioDeckDialog(HWND window, AudioDeckChoice* choice);
bool TakeAudioDeckRequest(ResRequest* request);

// The answers of the dialogs: confirm or not and fill the choice; a recording also sets the
// pending request through SetAudioDeckRequest.
struct MediaDialogAnswers {
    int (*movieOptions)(uint8_t* choice) = nullptr;
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
