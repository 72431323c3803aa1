// Taking over the browser's window: starting every subsystem in a fixed order, subclassing the
// window so that its messages reach the card message handler first, and at shut-down releasing
// everything in a fixed order and giving the window back as it was.
//
//   WindowAttach_win.cpp     attach, PluginWndProc, detach, ShutdownPluginInstance, the colour maps
//   AppStartup_win.cpp       AppStartup, InitUserPrefs (the window services: host/window/WindowServices.h)
//   AppShutdown_win.cpp      AppShutdown, the release chain
//   LoadedLibraries*.cpp     SafeLoadLibrary and its table (LoadedLibraries.h)
//   DllEntry_win.cpp         the DLL entry
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

// ---- WindowAttach_win.cpp ----
// Start-up on the window, then the media manager; after a successful start-up timer 1 (55 ms),
// the subclassing and the window services. False when the handle is no window, the handle table
// cannot be made or the start-up failed (the window is then left as it was).
bool AttachPluginWindow(HWND window);
// Subclassed and started, until detached.
bool IsPluginWindowAttached();
LRESULT CALLBACK PluginWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// NPP_Destroy, once: timers stopped, AppShutdown, the cache index saved, the download state
// freed (only this page's requests when another page starts next), the window handed back. The
// window itself stays: it is the browser's.
void ShutdownPluginInstance(HWND window, bool anotherPageStarts = false);
// The same, asked from inside one of the plug-in's own loops (a browser that closes the page
// from within a dialog's loop): the loops are ended and the releases done once the outermost
// one is back, so nothing is freed under a dialog.
void ShutdownPluginInstanceOnceOut(HWND window);
// The releases still waiting for a loop that never came back through the window (the window went
// first): done when the browser unloads the plug-in.
void FinishWaitingShutdown();
// Whether a page's releases wait for a loop of ours to come back.
bool IsShutdownWaiting();
// Another page's start while they wait: run once they are done, so that it neither frees the
// first page's stack under its dialog nor is itself shut down in its place.
void AttachOnceShutDown(std::function<void()> attach);
// Gives back the window procedure and class cursor kept at attach; nothing when not attached.
void DetachPluginWindow(HWND window);
// The two colour index maps, set to the identity at attach (which: 0 or 1).
uint8_t* ColorIndexMap(int which);

// ---- AppStartup_win.cpp ----
// The start-up chain; 1 on success, 0 when a step failed (the later ones are not run).
int AppStartup(HINSTANCE module, HWND window);
// Defaults: the advanced-user flag, the card size, the working depth, default object names.
void InitUserPrefs();

// "Sound", "Text", "Pict", "Untitled" from the string table (16-byte buffers): which 0..3.
const char* GetDefaultObjectName(int which);

// ---- AppShutdown_win.cpp ----
void AppShutdown();
// The information dialogs' work record and its handles.
void FreeInfoDialogData();

