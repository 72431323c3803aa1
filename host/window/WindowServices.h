// The card window's services (WindowServices_win.cpp): what its creation branch makes, the
// hand cursors, COM and the availability mask, with the trace of the start-up and release
// steps; and the media manager's life with the effect state of transition 29
// (MediaManagerLife_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr UINT_PTR kTickTimer = 1;
inline constexpr UINT kTickMilliseconds = 55;

inline constexpr int kDefaultCardWidth = 512, kDefaultCardHeight = 384;

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

// Whether COM was started by us (and so must be ended by us).
bool OwnsComInitialization();
// For the release chain: the hand cursors destroyed as they were loaded; COM ended when we
// started it; the availability mask replaced.
void FreeHandCursors();
void EndOwnComInitialization();
uint32_t TakeAvailabilityMask(uint32_t mask);
// The hand cursors, loaded as icons on the families that need it (a start-up step).
bool LoadHandCursors(HINSTANCE module, HWND window);

// The effect state of transition 29 lives with the media manager: made once a manager with
// QuickTime 3 exists, disposed before the manager goes (QuickTime is still bound then).
void MakeEffectStateWithManager();
void DestroyMediaManagerAndEffectState();

// Tests see the steps of the start-up and release chains by name as they run (only tests set
// the trace; host/wiring leaves it empty).
using AttachTrace = void (*)(const char* step);
void SetAttachTrace(AttachTrace trace);
void TraceAttachStep(const char* step);
