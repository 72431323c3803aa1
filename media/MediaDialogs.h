// The media manager's dialogs for a new movie or sound of a card, and the movie file reference
// they leave behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "format/ResFile.h"

struct ActionBlock;
class MediaElement;

// The sound dialog's values, read on entry and written back on OK. A file: its path is in
// `file`. A sound to be stored: the stack resource request that stores it (pending
// until the caller carries it out).
struct AudioDeckChoice {
    uint16_t soundId = 0;       // the chosen or recorded sound's id
    uint16_t typeFlags = 0;     // the sound flags: 2 background, 4 MIDI
    uint16_t isFile = 0;
    uint16_t parameter = 128;   // the volume, 0-255 (0 asks for 127)
    char file[kFileSpecPathSize] = {};  // isFile: the sound file's path
};

// ---- MediaMovieDialogs_win.cpp ----
// The options of a movie for a video chunk (tag 89; its rectangle, flags and volume are read,
// and written as the options left them when accepted). fileGiven 1: the movie given in `movie`, located
// first (a missing one is chosen anew); 0: as MediaChooseMovie. `movie` ends as the file shown
// or chosen. 1 accepted, 0 cancelled, failed or no manager.
int MediaMovieOptions(std::span<uint8_t> videoChunk, int fileGiven, FileSpec* movie);
// A movie file chosen (prompt 2409, the Open dialog starting from slot 14's) into `movie`,
// placed on the card, its rectangle, flags and volume written into the chunk, then its options.
// 1 accepted, 0 cancelled or failed.
int MediaChooseMovie(std::span<uint8_t> videoChunk, FileSpec* movie);
// The block's movie file measured into its movie fields (centred on the card); 1 measured.
int MediaMeasureMovieFile(ActionBlock* block);

// ---- MediaFileRef_win.cpp ----
// The manager's movie file reference (the last movie packed): its own handle, 0 without manager.
Handle GetMediaFileRef();
// The reference packed again from the movie.
void UpdateMediaFileRef(const FileSpec& movie);
// What a saved movie action stores: the reference packed again from the movie, as a new handle
// (the caller's); without a manager the movie packed directly, so it is not lost. 0 for a movie
// without a path.
Handle NewStoredMovieReference(const FileSpec& movie);

// ---- AudioDeck_win.cpp ----
// The sound dialog "TAPE": choose, play or record a sound; 1 when confirmed (the choice written
// back), 0 when cancelled (the choice unchanged). A sound to be stored leaves its request
// pending: TakeAudioDeckRequest hands it over with its data (false when none waits). Cancel
// leaves a request an earlier OK left as it was.
int RunAudioDeckDialog(HWND window, AudioDeckChoice* choice);
bool TakeAudioDeckRequest(ResRequest* request);

// ---- MovieOptions_win.cpp ----
// The answer that asks for the movie to be placed again.
inline constexpr int kMovieOptionsPlaceAgain = 57;
// The movie options dialog "QT_OPTIONS" over the card window for an element: 1 OK (the element
// keeps the flags and volume chosen, its rectangle as it was before a preview), 2 Cancel, 50
// another movie, 57 place it again. The element is closed unless the answer is 57.
int RunMovieOptions(HWND card, MediaElement* element);
// The same, the element placed again by place() (then closed) for as long as the answer asks.
// (A template over the element's class: this header knows MediaElement only by name.)
template <class Element, class Place>
int RunMovieOptionsPlacing(HWND card, Element* element, Place place) {
    int answer = RunMovieOptions(card, element);
    while (answer == kMovieOptionsPlaceAgain) {
        place();
        element->Close();
        answer = RunMovieOptions(card, element);
    }
    return answer;
}
// The user drags the movie's rectangle on the card window with the preview (the tracker gets a
// copy of it), until a press outside the rectangle ends it; without a preview the tracking
// state is only reset.
void PlaceMovieRect(HWND card, RECT* rect, HBITMAP preview);
