// Digital cameras on a serial port, through one of two families of camera libraries loaded at
// run time (their buffers are 16-bit handles reached through WOW32).
//
//   CameraDrivers_win.h      the two bindings behind one set of operations
//   CameraFamilyA_win.cpp    "lmqtcd32.dll" and "lmqtci32.dll"
//   CameraFamilyB_win.cpp    "lmkdc32.dll"
//   CameraWow_win.cpp        WOW32 by name: 16-bit handles to pointers
//   CameraDialogs_win.cpp    ImportCameraPicture, "CAMERADLG" and "CAMERAWAIT"
//   RgbToDib.cpp             the camera's RGB rows as a DIB (no Windows code)
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

inline constexpr uint32_t kAlertNoCameraPictures = 2323;
inline constexpr uint32_t kAlertCameraNotConnected = 2324;
inline constexpr uint32_t kAlertCameraPictureFailed = 2329;
// The chooser shows this many thumbnails at most.
inline constexpr int kCameraThumbnailSlots = 32;

// A 24-bit DIB of width x height whose rows are the RGB rows in their order, each padded; 0 when
// the data do not hold width x height x 3 bytes or the sizes are not those of a picture.
DibHandle RgbToDib(std::span<const uint8_t> rgb, int width, int height);
DibHandle RgbHandleToDib(Handle rgb, int width, int height);

#ifdef _WIN32
#include <windows.h>
// True when family A's driver opens, else when family B answers (which then is used).
bool IsCameraAvailable(HWND card);
// A picture chosen from the camera: 0 with a DIB in *dib, -1 without (the alerts shown).
int ImportCameraPicture(HWND parent, DibHandle* dib);
#endif
