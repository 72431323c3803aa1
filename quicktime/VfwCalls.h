// Video for Windows and audio compression calls taken by name from a module the caller loaded,
// so that a missing function is an answer, not a failed start.
#pragma once

#include <windows.h>

#include <functional>

struct IAVIStream;

// "MCIWndCreate" of the module: the MCIWnd window, or null when the function is missing.
HWND CallMCIWndCreate(HMODULE module, HWND parent, HINSTANCE instance, DWORD style, const char* file);
// "acmMetrics": 1 when it answers no error, 0 when it is missing or fails.
int CallAcmMetrics(HMODULE module, void* object, UINT metric, void* value);
// "acmFormatChooseA" over a chooser record: 1 when it answers no error, else 0.
int CallAcmFormatChoose(HMODULE module, void* chooser);
// The AVI file services of the module: visit runs on the file's first video stream, released
// after it; false when a function, the file or the stream is missing.
bool CallWithFirstAviVideoStream(HMODULE module, const char* path, const std::function<void(IAVIStream*)>& visit);
