// Video capture through AVICap windows: the one shared capture window that shows live video over
// the card, the "Video Digitizer" frame grab and the "Video Setup" options.
//
//   CaptureWindow_win.cpp    AVICap loaded by name, the shared window and its state
//   CaptureDialogs_win.cpp   "VIDEOCAPTURE" and "VIDEOCAPTUREOPTIONS"
//   VideoClickRect_win.cpp   the live video click rectangle (IsInVideoClickRect is declared
//                            with the media manager)
//
// CloseCaptureWindow is declared with the media manager's release steps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr uint32_t kAlertCaptureOpenFailed = 2336;
inline constexpr int kCaptureDriverCount = 10;

// ---- CaptureWindow_win.cpp ----
// A driver describes itself at one of the indexes 0-9.
bool HaveCaptureDriver();
// The description of driver `index`; false when there is none.
bool CaptureDriverDescription(int index, std::string* description);
// An AVICap window (null when AVICap or the window cannot be had).
HWND CreateCaptureWindow(const char* title, DWORD style, const RECT& rect, HWND parent, int id);
// A capture window with the first driver (index 0 upward while drivers describe themselves) that
// connects, preview on at 16 milliseconds, scaled; null and nothing kept when none connects.
HWND CreateConnectedCaptureWindow(const char* title, DWORD style, const RECT& rect, HWND parent, int id);
// The shared window over `rect` of `parent`, shown: true when it shows.
bool OpenCaptureWindow(HWND parent, const RECT& rect, int paletteMode);
HWND SharedCaptureWindow();
// Makes `window` the shared capture window (the movie recording window while its options run).
void SetSharedCaptureWindow(HWND window);
// The driver dialogs on the shared window; 0 without a window.
int ShowCaptureSourceDialog();
int ShowCaptureDisplayDialog();
int ShowCaptureFormatDialog();
// Reads the capture format's depth into the remembered one.
void SyncCaptureDepth();
int RememberedCaptureDepth();
// The shared window's driver capabilities and status, as last read.
struct CaptureFacts {
    bool sourceDialog = false;
    bool formatDialog = false;
    bool displayDialog = false;
    int imageWidth = 0;
    int imageHeight = 0;
};
CaptureFacts ReadCaptureFacts(HWND window);
const CaptureFacts& SharedCaptureFacts();

// ---- VideoClickRect_win.cpp ----
// The live video click rectangle (empty when none): set by a played videodisc segment or the
// live video overlay, emptied when the capture window closes.
void SetVideoClickRect(const RECT& rect);
RECT VideoClickRect();

// ---- CaptureDialogs_win.cpp ----
// "Video Digitizer": 1 when the frame path holds a grabbed picture.
int RunVideoCaptureDialog(HWND parent);
// "Video Setup" on the shared window.
int RunCaptureOptionsDialog(HWND parent);
// The frame path of the last grab ("" before the first).
const std::string& CaptureFramePath();
