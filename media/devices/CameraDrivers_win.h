// The two camera library families behind the same operations, and the WOW32 calls that reach
// their 16-bit buffers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

inline constexpr uint16_t kCameraFamilyA = 0;
inline constexpr uint16_t kCameraFamilyB = 1;
// The serial ports, in the order they are tried.
inline constexpr int kCameraPorts[] = {2, 1, 3, 4};

// What connecting learned.
struct CameraPictures {
    uint16_t count = 0;
    uint16_t thumbWidth = 0;
    uint16_t thumbHeight = 0;
};

// ---- CameraFamilyA_win.cpp ----
// Loads and binds both libraries, opens and closes the driver; on failure both are freed.
bool OpenCameraDriver(HWND card);
int ConnectCameraA(HWND card, CameraPictures* pictures);  // 0 connected, else a status
void DisconnectCameraA();
Handle CameraThumbnailA(int picture, const CameraPictures& pictures);  // RGB, or 0
DibHandle CameraPictureA(int picture);

// ---- CameraFamilyB_win.cpp ----
bool ProbeCameraDriverB();
void FreeCameraDriverB();
int ConnectCameraB(CameraPictures* pictures);
void DisconnectCameraB();
Handle CameraThumbnailB(int picture, const CameraPictures& pictures);
DibHandle CameraPictureB(int picture);

// ---- CameraWow_win.cpp ----
// The 16-bit handle of a window; 0 without WOW32.
WORD WindowHandle16(HWND window);
// A 16:16 address as a flat pointer, fixed until UnfixVdmPointer; null without WOW32.
void* FixVdmPointer(DWORD address, DWORD size);
void UnfixVdmPointer(DWORD address);
// size bytes from a 16-bit global handle; false when it cannot be reached.
bool CopyHandle16(WORD handle, uint32_t size, std::vector<uint8_t>* out);
