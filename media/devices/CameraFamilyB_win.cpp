// Camera family B: "lmkdc32.dll" ("DC" and "KDC" entries), all twelve required.
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/LoadedLibraries.h"
#include "media/devices/Camera.h"
#include "media/devices/CameraDrivers_win.h"

namespace {

using Status = int16_t;
struct EntriesB {
    Status(WINAPI* openDriver)(int, uint8_t*);
    Status(WINAPI* closeDriver)(uint8_t*);
    Status(WINAPI* openCamera)(uint8_t*);
    Status(WINAPI* closeCamera)(uint8_t*);
    Status(WINAPI* getStatus)(uint8_t*, uint8_t*, int);
    Status(WINAPI* getPictInfo)(uint8_t*, int, int, uint8_t*, int);
    Status(WINAPI* getPicture)(uint8_t*, int, uint8_t*, WORD*, int);
    Status(WINAPI* setCameraData16)(uint8_t*, uint8_t*, int);
    void(WINAPI* releaseBuffers)();
    DWORD(WINAPI* getInstance)();
    DWORD(WINAPI* sizeOfHandle16)(WORD);
    Status(WINAPI* freeThumbnail)(WORD);
};

// The driver state, the camera state (its port a 16-bit field at the start) and the request and
// information records, as the library lays them out.
struct FamilyB {
    HMODULE library = nullptr;
    EntriesB e{};
    DWORD instance = 0;
    uint8_t driverState[64] = {};
    uint8_t cameraState[64] = {};
    bool cameraOpen = false;
};
FamilyB g_b;

constexpr int kDriverCode = 4514;
constexpr Status kNoState = -1016;

template <typename T>
bool Bind(T* proc, const char* name) {
    *proc = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(g_b.library, name)));
    return *proc != nullptr;
}

bool BindAll() {
    EntriesB& e = g_b.e;
    return Bind(&e.openDriver, "DCOpenDriver") && Bind(&e.closeDriver, "DCCloseDriver") &&
           Bind(&e.openCamera, "DCOpenCamera") && Bind(&e.closeCamera, "DCCloseCamera") &&
           Bind(&e.getStatus, "DCGetStatus") && Bind(&e.getPictInfo, "DCGetCameraPictInfo") &&
           Bind(&e.getPicture, "DCGetCameraPicture") && Bind(&e.setCameraData16, "SetKDCCameraData16") &&
           Bind(&e.releaseBuffers, "ReleaseKDCBuffers") && Bind(&e.getInstance, "GetKDCCameraInstance") &&
           Bind(&e.sizeOfHandle16, "SizeOfKDCHandle16") && Bind(&e.freeThumbnail, "FreeKDCThumbNail");
}

// Copies a buffer the library handed out and frees it.
bool TakeBuffer(WORD handle, std::vector<uint8_t>* out) {
    const bool ok = CopyHandle16(handle, g_b.e.sizeOfHandle16(handle), out);
    g_b.e.freeThumbnail(handle);
    return ok;
}

}  // namespace

void FreeCameraDriverB() {
    SafeFreeLibrary(g_b.library);
    g_b = FamilyB{};
}

bool ProbeCameraDriverB() {
    FreeCameraDriverB();  // probed afresh
    {
        g_b.library = SafeLoadLibrary("lmkdc32.dll");
        if (!g_b.library || !BindAll()) {
            SafeFreeLibrary(g_b.library);
            g_b = FamilyB{};
            return false;
        }
    }
    g_b.instance = g_b.e.getInstance();
    if (g_b.e.openDriver(kDriverCode, g_b.driverState) != 0) {
        SafeFreeLibrary(g_b.library);
        g_b = FamilyB{};
        return false;
    }
    g_b.e.closeDriver(g_b.driverState);
    return true;
}

int ConnectCameraB(CameraPictures* pictures) {
    if (!LoadedLibraries().Holds(g_b.library))
        g_b = FamilyB{};  // freed with the other libraries since
    if (!g_b.library || !pictures)
        return kNoState;
    std::memset(g_b.driverState, 0, sizeof g_b.driverState);
    std::memset(g_b.cameraState, 0, sizeof g_b.cameraState);
    g_b.cameraOpen = false;
    g_b.instance = g_b.e.getInstance();
    Status status = g_b.e.openDriver(kDriverCode, g_b.driverState);
    if (status != 0)
        return status;
    g_b.e.setCameraData16(g_b.cameraState, g_b.driverState, 32);
    for (const int port : kCameraPorts) {
        SetU16(g_b.cameraState, 0, static_cast<uint16_t>(port));
        if (g_b.e.openCamera(g_b.cameraState) == 0) {
            g_b.cameraOpen = true;
            break;
        }
    }
    if (!g_b.cameraOpen) {
        SetU16(g_b.cameraState, 0, 0);
        return kNoState;
    }
    uint8_t record[64] = {};
    status = g_b.e.getStatus(g_b.cameraState, record, 0);
    if (status != 0)
        return status;
    pictures->count = GetU16(record, 0);
    pictures->thumbWidth = GetU16(record, 2);
    pictures->thumbHeight = GetU16(record, 4);
    return 0;
}

void DisconnectCameraB() {
    if (!g_b.library)
        return;
    if (g_b.cameraOpen && g_b.e.closeCamera(g_b.cameraState) != 0) {
        g_b.cameraOpen = false;
        g_b.e.releaseBuffers();
        return;
    }
    g_b.cameraOpen = false;
    g_b.e.closeDriver(g_b.driverState);
    g_b.e.releaseBuffers();
}

Handle CameraThumbnailB(int picture, const CameraPictures& pictures) {
    if (!g_b.library)
        return 0;
    uint8_t info[32] = {};
    if (g_b.e.getPictInfo(g_b.cameraState, picture, 1, info, 0) != 0)
        return 0;
    std::vector<uint8_t> bytes;
    const uint32_t size = static_cast<uint32_t>(pictures.thumbWidth) * pictures.thumbHeight * 3;
    if (!TakeBuffer(GetU16(info, 0), &bytes) || bytes.size() < size)
        return 0;
    return NewHandleFromBytes(std::span<const uint8_t>(bytes.data(), size));
}

DibHandle CameraPictureB(int picture) {
    if (!g_b.library)
        return 0;
    uint8_t info[32] = {};
    if (g_b.e.getPictInfo(g_b.cameraState, picture, 0, info, 0) != 0)
        return 0;
    const uint16_t width = GetU16(info, 2), height = GetU16(info, 4);
    uint8_t request[8] = {};
    SetU16(request, 0, width);
    SetU16(request, 2, height);
    SetU32(request, 4, static_cast<uint32_t>(width) * height * 3);
    WORD handle = 0;
    if (g_b.e.getPicture(g_b.cameraState, picture, request, &handle, 0) != 0)
        return 0;
    std::vector<uint8_t> rgb;
    return TakeBuffer(handle, &rgb) ? RgbToDib(rgb, width, height) : 0;
}
