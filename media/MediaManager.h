// The media manager: the one owner of the card's movies and sounds, and the start-up check
// and release chain of the media layer. Other layers reach media only through these flat
// functions, which give a fixed nothing-result when there is no manager.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string_view>

#include "core/memory/Handles.h"

inline constexpr uint32_t kAlertQuickTimeMissing = 2357;

// Media service bits of InitMediaServices.
inline constexpr uint32_t kMediaManagerMade = 1;
inline constexpr uint32_t kMediaVideoForWindows = 2;
inline constexpr uint32_t kMediaCamera = 4;
inline constexpr uint32_t kMediaCaptureDriver = 8;
inline constexpr uint32_t kMediaTwain = 16;

// ---- MediaManager_win.cpp ----
// Binds QuickTime and releases it again; 1 when it could be bound, else alert 2357 and 0.
int IsQuickTimeAvailable(HWND window);
// Makes the manager (once; again returns the one there is): QuickTime bound, its version asked,
// movies entered. 0 when QuickTime is not usable (alert 2357, unless this run has shown it).
int MediaManagerCreate(HWND window, HINSTANCE module);
void MediaManagerDestroy();
bool HasMediaManager();
// The card window the manager was made for; null without a manager.
HWND MediaManagerWindow();
// The manager and the other media services; the bits above. The word is kept (GetMediaFlags).
uint32_t InitMediaServices(HWND window, HINSTANCE module);
uint32_t GetMediaFlags();
void SetMediaFlags(uint32_t flags);

// Video for Windows: both libraries loaded and started (1), or nothing kept (0).
int LoadVideoForWindows();
bool IsVideoForWindowsLoaded();  // both libraries kept by LoadVideoForWindows
// For tests: the version "VideoForWindowsVersion" is taken to answer (0: the library's own), and
// how often LoadVideoForWindows has called AVIFileInit.
void SetVideoForWindowsVersionAnswer(uint32_t version);
int AviFileInitCalls();
// With kMediaVideoForWindows set: the libraries go; the flags come back without the bit.
uint32_t UnloadVideoForWindows(uint32_t mediaFlags);

// The QuickTime 3 flag of the last manager made (its 'qtim' version at least 3.0): the effect
// state of transition 29 exists only with it.
bool MediaIsQuickTime3();

// ---- MediaMovies_win.cpp ----
// The movie elements, each made from the video chunk (tag 89) of an action block, and found
// again by its path (any case) and object id.
// Located (prompt 2417), reused or made and opened, then its still drawn into stillTarget when
// one is given, and played with play 1. 1 done, 0 failed or no manager.
int MediaOpenMovie(std::span<const uint8_t> videoChunk, int16_t objectId, HDC stillTarget, int play);
// 1 play, 2 stop, 3 step forward, 4 step back, 5 rewind and stop; the first movie only.
void MediaMovieCommand(int code);
int MediaIsMovieDone(int16_t objectId);  // 1 without a manager or such a movie
int MediaAllMoviesDone();
void MediaIdleControllers();
void MediaRemoveFinished(int force, int invalidate);
int MediaShowAll();  // 0; 16 without a manager
void MediaUpdateAll();
// An MCIWnd window's notification (MCIWNDM_NOTIFYMODE and the like) to its AVI element.
void MediaOnMCIWndNotify(HWND mciWindow);

// ---- AviFileCheck_win.cpp ----
// A movie file that plays in an MCIWnd window: MPEG always; AVI only with an 'iv32' video
// stream while Video for Windows is loaded.
bool IsAVIFile(const char* path);

// ---- MediaSounds_win.cpp ----
// Sound flags: kept through MediaStopSounds(0); 'Midi' data rather than 'Snd '; nothing played.
inline constexpr uint32_t kSoundKeep = 0x2;
inline constexpr uint32_t kSoundMidi = 0x4;
inline constexpr uint32_t kSoundNotPlayed = 0x8000;
// 1 while a sound or a sound-only movie plays.
int MediaIsPlaying();
// Stored 'Snd ' data (or 'Midi' with kSoundMidi) played; the caller keeps the data.
void MediaPlaySound(Handle data, int volume, uint32_t flags);
// A sound or MIDI file played from its path.
void MediaPlaySoundFile(const char* path, int volume, uint32_t flags);
void MediaSetSoundVolume(int volume);
void MediaStopSounds(int all);
// The stack's 'Snd ' (or 'Midi') resource id played, after the sounds not kept are stopped.
void PlaySoundResource(int16_t id, uint32_t flags, int volume);
// The sound file remembered at that path located and played, after the sounds not kept are stopped.
void PlaySoundFromFile(const char* remembered, uint32_t flags, int volume);
void StopSounds(int all);

// ---- StopAllSounds_win.cpp ----
// Every sound (all 1) or those not kept (0) stopped, and a recording in progress ended.
void StopAllSounds(int all);
// A sound named "Stop All Sounds" or "STOPSNDS.WAV" (any case, the whole name) stops every sound
// instead of playing: true when the stack resource's name (without a stack or for data that is
// no resource, the recorder's current name) was one of them, and all was stopped.
bool StopIfStopAllSoundsName(Handle sound);

// ---- MediaMidi_win.cpp ----
// A MIDI file as the bytes of a QuickTime movie file (a 'Midi' resource), or 0.
Handle MediaImportMidiFile(const char* path);
// 'Midi' data written as a MIDI file: 0 or the QuickTime error; 16 without a manager.
int MediaExportMidiFile(Handle midi, const char* path);

// ---- MovieFrameSource_win.cpp ----
// The frames of a movie file for an animated object: opened from its packed file reference,
// run, and drawn into a bitmap that goes on changing as the movie runs.
struct MovieFrameSource;
// 0 with the source and the movie's rectangle (left, top, right, bottom); 16 when it fails.
int MovieFrameOpen(std::span<const uint8_t> packedFileRef, MovieFrameSource** source, int16_t rect[4]);
void MovieFrameTask(MovieFrameSource* source);
// 1 with the bitmap the movie draws into; 0 without a manager, a source or a bitmap.
int MovieFrameGetImage(MovieFrameSource* source, HDC dc, HBITMAP* bitmap);
void MovieFrameStop(MovieFrameSource* source);
void MovieFrameRewind(MovieFrameSource* source);
// True when the movie has played to its end (a missing source has nothing left to play).
bool MovieFrameDone(MovieFrameSource* source);
void MovieFrameClose(MovieFrameSource* source);

// ---- MediaImages_win.cpp ----
// The images of a picture file read through QuickTime; 0 without a manager or when unreadable.
int MediaCountImages(const char* path);
// Its frames as packed DIBs in a movable global block of handles (the caller frees each and
// the block); 1 on success, with no frames when QuickTime could not draw them.
int MediaDecodeImageFrames(const char* path, HGLOBAL* frames, int* count);

// ---- videodisc/VideodiscPlayer_win.cpp ----
// Settles a player that played a segment (status, then pause): 0 ready or no player state, 1
// when that failed.
int OpenVideodiscPlayer();
// The stack's card size and depth changed as ChangeStackSizeAndDepth does, then the player
// settled, since the change rebuilds the card the player showed on: what the stack asks of
// its platform when a card size too small for an object is enlarged.
int ChangeStackSizeSettlingPlayer(Handle oldHeader, Handle newHeader);
void CloseVideodiscPlayer();  // closes the device (shut-down)
void ClearVideodiscState();   // then the state goes
// A child's press (`message`, at x, y of `window`) inside the live video click rectangle, with
// a capture driver (kMediaCaptureDriver in mediaFlags): posted again to `window` as a press,
// which passes through once; true when posted.
int IsInVideoClickRect(uint32_t mediaFlags, HWND window, UINT message, int x, int y);

// ---- capture/CaptureWindow_win.cpp ----
// Hides, disconnects and destroys the shared capture window; the click rectangle empties.
void CloseCaptureWindow();
