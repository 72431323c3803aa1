// Where a video action's video and an imported picture come from: the two source choices, the
// live video overlay and "make your own movie".
//
//   VideoSourceDialogs_win.cpp   "DLG_VIDEOSRC" and "VIDSRCDLG" (radios that take a second click as OK)
//   VideoInsert_win.cpp          ChooseAndInsertVideo and the live overlay
//   MovieRecord_win.cpp          "DLG_VIDEOCAP": record, try and keep a movie from the capture card
//   RecordTime.h/.cpp            the maximum record time (no Windows code)
//   VideoAction_win.cpp          EditVideoAction, between the action block and the choice
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/files/FileSlots.h"

// Video sources.
enum VideoSource : int { kVideoCancelled = 0, kVideoMovieFile = 1, kVideoDisc = 2, kVideoLive = 3, kVideoRecorded = 4 };

// Picture sources of "VIDSRCDLG".
enum GraphicSourceChoice : int {
    kGraphicFromFile = 0, kGraphicCancelled = 2, kGraphicFromVideo = 3, kGraphicFromCamera = 4, kGraphicFromTwain = 5,
};

// ---- VideoSourceDialogs_win.cpp ----
// "DLG_VIDEOSRC": the source (1-4) or 0 when cancelled; live video and recording need a
// capture driver (kMediaCaptureDriver in capabilities).
int RunVideoSourceDialog(HWND parent, uint32_t capabilities);
// "VIDSRCDLG"'s procedure, given the capabilities as its parameter; the dialog ends with 1 and
// leaves its choice in GraphicSourceResult.
INT_PTR CALLBACK GraphicSourceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The choice of the last "VIDSRCDLG" (kGraphicFromFile before the first); the next one starts
// on it.
int GraphicSourceResult();
// Runs "VIDSRCDLG" with the radios enabled by the capabilities: the choice.
int RunGraphicSourceDialog(HWND parent, uint32_t capabilities);

// ---- VideoInsert_win.cpp ----
// The source (from the videodisc chunk when editing, else asked), then its dialog on the two
// chunks (tag 'Y' movie, tag 'w' videodisc). movie: the file an existing movie action names;
// when a movie was taken, chosen is set and movie is its file. The source code, 0 when cancelled.
int ChooseAndInsertVideo(HWND parent, std::span<uint8_t> videodiscChunk, std::span<uint8_t> movieChunk, FileSpec* movie,
                         int existing, int* chosen);
// The source an existing action names: 1 with an empty videodisc start, 3 for live video only,
// else 2.
int ExistingVideoSource(std::span<const uint8_t> videodiscChunk);
// The capture window of a running live overlay; null otherwise.
HWND GetLiveVideoWindow();
// The overlay on the card window over the chunk's rectangle (or the card's middle half when it
// is empty): the user moves and sizes it, a click ends it, and the rectangle and flags 3 go
// into the chunk. False when it could not start.
bool RunLiveVideoOverlay(HWND card, std::span<uint8_t> videodiscChunk, bool editing);

// ---- MovieRecord_win.cpp ----
// "DLG_VIDEOCAP" recording into path: IDOK or IDCANCEL.
int RunMovieRecordDialog(HWND parent, const char* path);
