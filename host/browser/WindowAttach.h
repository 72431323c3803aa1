// Taking over the browser's window: starting every subsystem in a fixed order, subclassing the
// window so that its messages reach the card message handler first, and at shut-down releasing
// everything in a fixed order and giving the window back as it was.
//
//   WindowAttach_win.cpp     attach, PluginWndProc, detach, ShutdownPluginInstance, the colour maps
//   AppStartup_win.cpp       AppStartup, InitUserPrefs, the window services of AppInitWindow
//   AppShutdown_win.cpp      AppShutdown, the release chain
//   CardArea_win.cpp         ResizeCardArea, SizeWindowToCard, GetDibResourceSize
//   LoadedLibraries*.cpp     SafeLoadLibrary and its table (LoadedLibraries.h)
//   DllEntry_win.cpp         the DLL entry
#pragma once

#include <windows.h>

#include <cstdint>

// ---- WindowAttach_win.cpp ----
// Start-up on the window, then the media manager; after a successful start-up timer 1 (55 ms),
// the subclassing and the window services. False when the handle is no window, the handle table
// cannot be made or the start-up failed (the window is then left as it was).
bool AttachPluginWindow(HWND window);
// Subclassed and started, until detached.
bool IsPluginWindowAttached();
LRESULT CALLBACK PluginWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// NPP_Destroy, once: timers stopped, AppShutdown, the cache index saved, the download state
// freed, the window handed back. The window itself stays: it is the browser's.
void ShutdownPluginInstance(HWND window);
// Gives back the window procedure and class cursor kept at attach; nothing when not attached.
void DetachPluginWindow(HWND window);
// The two colour index maps, set to the identity at attach (which: 0 or 1).
uint8_t* ColorIndexMap(int which);

inline constexpr UINT_PTR kTickTimer = 1;
inline constexpr UINT kTickMilliseconds = 55;
inline constexpr UINT_PTR kCursorTimer = 69;

// ---- AppStartup_win.cpp ----
// The start-up chain; 1 on success, 0 when a step failed (the later ones are not run).
int AppStartup(HINSTANCE module, HWND window);
// Defaults: the advanced-user flag, the card size, the working depth, default object names.
void InitUserPrefs();
// The creation branch of the card window (a window the system would make itself): window
// services, the card area at the default size, timer 1. -1 without a media manager.
LRESULT AppInitWindow(HWND window);
// What the creation branch makes that needs no new window: the card offscreen, the application
// palette, text colours and style, drop acceptance, COM, the availability mask, the spare button
// record; run at attach after a successful start-up. False without a media manager.
bool StartWindowServices(HWND window);

// Availability mask bits (kMedia* of media/MediaManager.h): 0 until the window services ran.
uint32_t GetAvailabilityMask();
HCURSOR GetFlatHandCursor();
HCURSOR GetGrabHandCursor();
// "Sound", "Text", "Pict", "Untitled" from the string table (16-byte buffers): which 0..3.
const char* GetDefaultObjectName(int which);
inline constexpr int kDefaultCardWidth = 512;
inline constexpr int kDefaultCardHeight = 384;
// Whether COM was started by us (and so must be ended by us).
bool OwnsComInitialization();
// For the release chain: the hand cursors destroyed as they were loaded; COM ended when we
// started it; the availability mask replaced.
void FreeHandCursors();
void EndOwnComInitialization();
uint32_t TakeAvailabilityMask(uint32_t mask);

// ---- MediaManagerLife_win.cpp ----
// The effect state of transition 29 lives with the media manager: made once a manager with
// QuickTime 3 exists, disposed before the manager goes (QuickTime is still bound then).
void MakeEffectStateWithManager();
void DestroyMediaManagerAndEffectState();

// ---- AppShutdown_win.cpp ----
void AppShutdown();
// The information dialogs' work record and its handles.
void FreeInfoDialogData();

// Tests see the steps of the start-up and release chains by name as they run (host/wiring
// installs no trace; tests/host/browser/WindowAttach_win_test.cpp does).
using AttachTrace = void (*)(const char* step);
void SetAttachTrace(AttachTrace trace);
void TraceAttachStep(const char* step);

// ---- CardArea_win.cpp ----
// The card offscreen rebuilt at that size and depth, then SizeWindowToCard.
void ResizeCardArea(int width, int height, int depth);
// The card window sized (not moved) to the card plus its borders; nothing unless both are
// positive.
void SizeWindowToCard(int width, int height);
// Width and height of a "DIB" resource of the module; both 0 when it is missing or short.
SIZE GetDibResourceSize(const char* name);
