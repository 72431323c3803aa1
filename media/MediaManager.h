// The media manager: the one owner of the card's movies and sounds, and the start-up check
// and release chain of the media layer. Other layers reach media only through these flat
// functions, which give a fixed nothing-result when there is no manager.
#pragma once

#include <windows.h>

#include <cstdint>

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
// For tests: the version "VideoForWindowsVersion" is taken to answer (0: the library's own), and
// how often LoadVideoForWindows has called AVIFileInit.
void SetVideoForWindowsVersionAnswer(uint32_t version);
int AviFileInitCalls();
// With kMediaVideoForWindows set: the libraries go; the flags come back without the bit.
uint32_t UnloadVideoForWindows(uint32_t mediaFlags);

// MINIMAL until the media elements exist: nothing plays, so nothing stops.
bool MediaIsPlaying();
void StopAllSounds();
void MediaOnMCIWndNotify(WPARAM wParam);

// ---- MediaImages_win.cpp ----
// The images of a picture file read through QuickTime; 0 without a manager or when unreadable.
int MediaCountImages(const char* path);
// Its frames as packed DIBs in a movable global block of handles (the caller frees each and
// the block); 1 on success, with no frames when QuickTime could not draw them.
int MediaDecodeImageFrames(const char* path, HGLOBAL* frames, int* count);

// ---- MediaReleases_win.cpp ----
// MINIMAL until the media library, capture and videodisc code exist: nothing is held.
void AllocMediaLib();
void CloseMediaLib();
int OpenVideodiscPlayer();
void CloseVideodiscPlayer();
void ClearVideodiscState();
void CloseCaptureWindow();
// A child's press inside the live video click rectangle; none exists yet (0).
int IsInVideoClickRect(uint32_t mediaFlags, HWND window, UINT message, LPARAM lParam);
// Files dropped on the card: not accepted yet (0).
LRESULT OnDropFiles(HWND window, bool handScroll, bool objectsShown, uint32_t card, WPARAM drop, LPARAM lParam);
