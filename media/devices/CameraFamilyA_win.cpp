// Camera family A: "lmqtcd32.dll" drives the camera ("Cm" entries), "lmqtci32.dll" turns its
// data into RGB ("Ip" entries). Every entry must resolve or the family is not used.
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/LoadedLibraries.h"
#include "media/devices/Camera.h"
#include "media/devices/CameraDrivers_win.h"

namespace {

using Status = WORD;
struct EntriesA {
    Status(WINAPI* connect)(DWORD, DWORD);
    Status(WINAPI* getThumbnail)(DWORD, int, void*, DWORD, int, DWORD*);
    Status(WINAPI* getFullSize)(DWORD, int, void*, DWORD, int, DWORD*);
    Status(WINAPI* disconnect)(DWORD);
    Status(WINAPI* openDriver)(DWORD*);
    Status(WINAPI* closeDriver)(DWORD*);
    Status(WINAPI* getPictureInfo)(DWORD, int, uint8_t*);
    Status(WINAPI* checkIfReady)(DWORD);
    Status(WINAPI* getCameraInfo)(DWORD, uint8_t*);
    Status(WINAPI* getPortInfo)(DWORD, int, DWORD*);
    Status(WINAPI* disposePortInfo)(DWORD, DWORD);
    DWORD(WINAPI* getInstance)(WORD);
    DWORD(WINAPI* sizeOfHandle16)(WORD);
    Status(WINAPI* initIpm)(void*);
    Status(WINAPI* thumbnailToRgb)(void*, void*, void*, void*);
    Status(WINAPI* calculateColorTables)(void*);
    Status(WINAPI* endIpm)(void*);
    Status(WINAPI* imageToRgb)(void*, void*, DWORD, DWORD, WORD*, WORD*, WORD*);
    void(WINAPI* releaseRgb)();
};

struct FamilyA {
    HMODULE driver = nullptr;
    HMODULE imaging = nullptr;
    EntriesA e{};
    DWORD instance = 0;
    DWORD portInfo = 0;  // 16:16 address of the connected port's information
    Handle thumbData = 0;
    Handle workArea = 0;
    uint8_t cameraInfo[100] = {};
};
FamilyA g_a;

constexpr Status kStatusFailed = 15;
constexpr uint32_t kThumbDataBytes = 2400;
constexpr uint32_t kWorkAreaBytes = 24306;
constexpr uint16_t kPortUsable = 1;

template <typename T>
bool Bind(HMODULE module, T* proc, const char* name) {
    *proc = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return *proc != nullptr;
}

bool BindAll() {
    EntriesA& e = g_a.e;
    HMODULE d = g_a.driver, i = g_a.imaging;
    return Bind(d, &e.connect, "CmConnect") && Bind(d, &e.getThumbnail, "CmGetThumbnailImage") &&
           Bind(d, &e.getFullSize, "CmGetFullSizeImage") && Bind(d, &e.disconnect, "CmDisconnect") &&
           Bind(d, &e.openDriver, "CmOpenDriver") && Bind(d, &e.closeDriver, "CmCloseDriver") &&
           Bind(d, &e.getPictureInfo, "CmGetPictureInfo") && Bind(d, &e.checkIfReady, "CmCheckIfReady") &&
           Bind(d, &e.getCameraInfo, "CmGetCameraInfo") && Bind(d, &e.getPortInfo, "CmGetPortInfo") &&
           Bind(d, &e.disposePortInfo, "CmDisposePortInfo") && Bind(d, &e.getInstance, "GetCameraInstance") &&
           Bind(d, &e.sizeOfHandle16, "SizeOfHandle16") && Bind(i, &e.initIpm, "IpInitIPM") &&
           Bind(i, &e.thumbnailToRgb, "IpConvertThumbnailToRGB") &&
           Bind(i, &e.calculateColorTables, "IpCalculateColorTables") && Bind(i, &e.endIpm, "IpEndIPM") &&
           Bind(i, &e.imageToRgb, "IpConvertImageToRGB") && Bind(i, &e.releaseRgb, "ReleaseRGBImageBuffer");
}

void FreeHandles() {
    DisposeHandleAndClear(&g_a.thumbData);
    DisposeHandleAndClear(&g_a.workArea);
}

void FreeLibraries() {
    FreeHandles();
    SafeFreeLibrary(g_a.driver);
    SafeFreeLibrary(g_a.imaging);
    g_a = FamilyA{};
}

// The port's flags, reached through its 16-bit information handle.
uint16_t PortFlags(DWORD portInfo) {
    const auto* inner = static_cast<const DWORD*>(FixVdmPointer(portInfo, sizeof(DWORD)));
    const DWORD record = inner ? *inner : 0;
    const auto* flags = static_cast<const uint16_t*>(FixVdmPointer(record, sizeof(uint16_t)));
    const uint16_t value = flags ? *flags : 0;
    UnfixVdmPointer(record);
    UnfixVdmPointer(portInfo);
    return value;
}

}  // namespace

bool OpenCameraDriver(HWND card) {
    FreeLibraries();  // probed afresh
    {
        g_a.driver = SafeLoadLibrary("lmqtcd32.dll");
        g_a.imaging = g_a.driver ? SafeLoadLibrary("lmqtci32.dll") : nullptr;
        if (!g_a.driver || !g_a.imaging || !BindAll()) {
            FreeLibraries();
            return false;
        }
    }
    DWORD instance = g_a.e.getInstance(WindowHandle16(card));
    if (g_a.e.openDriver(&instance) != 0) {
        FreeLibraries();
        return false;
    }
    g_a.e.closeDriver(&instance);
    return true;
}

int ConnectCameraA(HWND card, CameraPictures* pictures) {
    if (!LoadedLibraries().Holds(g_a.driver) || !LoadedLibraries().Holds(g_a.imaging))
        g_a = FamilyA{};  // freed with the other libraries since
    if (!g_a.driver || !pictures)
        return kStatusFailed;
    std::memset(g_a.cameraInfo, 0, sizeof g_a.cameraInfo);
    g_a.thumbData = NewHandle(kThumbDataBytes);
    g_a.workArea = NewHandle(kWorkAreaBytes);
    if (!g_a.thumbData || !g_a.workArea)
        return kStatusFailed;
    g_a.instance = g_a.e.getInstance(WindowHandle16(card));
    if (g_a.e.openDriver(&g_a.instance) != 0)
        return kStatusFailed;
    g_a.portInfo = 0;
    for (const int port : kCameraPorts) {
        DWORD info = 0;
        if (g_a.e.getPortInfo(g_a.instance, port, &info) != 0 || !info)
            continue;
        if ((PortFlags(info) & kPortUsable) && g_a.e.connect(g_a.instance, info) == 0) {
            g_a.portInfo = info;
            break;
        }
        g_a.e.disposePortInfo(g_a.instance, info);
    }
    if (!g_a.portInfo)
        return kStatusFailed;
    g_a.e.checkIfReady(g_a.instance);
    uint8_t record[92] = {};
    if (g_a.e.getCameraInfo(g_a.instance, record) != 0)
        return kStatusFailed;
    std::memcpy(g_a.cameraInfo, record, sizeof record);
    const std::span<const uint8_t> r(record);
    pictures->count = GetU16(r, 1);
    pictures->thumbWidth = GetU16(r, 9);
    pictures->thumbHeight = GetU16(r, 11);
    return 0;
}

void DisconnectCameraA() {
    if (!g_a.driver)
        return;
    bool closed = true;
    if (g_a.portInfo) {
        closed = g_a.e.disconnect(g_a.instance) == 0;
        closed = g_a.e.disposePortInfo(g_a.instance, g_a.portInfo) == 0 && closed;
        g_a.portInfo = 0;
    }
    if (closed && g_a.instance) {
        g_a.e.closeDriver(&g_a.instance);
        g_a.instance = 0;
    }
    FreeHandles();
}

Handle CameraThumbnailA(int picture, const CameraPictures& pictures) {
    if (!g_a.driver || !g_a.thumbData || !g_a.workArea)
        return 0;
    HandleLock thumb(g_a.thumbData), work(g_a.workArea);
    DWORD result = 0;
    if (g_a.e.getThumbnail(g_a.instance, picture, thumb.get(), kThumbDataBytes, 1, &result) != 0)
        return 0;
    g_a.e.initIpm(work.get());
    g_a.e.calculateColorTables(work.get());
    Handle rgb = NewHandle(static_cast<uint32_t>(pictures.thumbWidth) * pictures.thumbHeight * 3);
    bool ok = false;
    if (rgb) {
        HandleLock out(rgb);
        uint16_t request[2] = {pictures.thumbWidth, pictures.thumbHeight};
        ok = g_a.e.thumbnailToRgb(work.get(), thumb.get(), out.get(), request) == 0;
    }
    g_a.e.endIpm(work.get());
    if (!ok)
        DisposeHandleAndClear(&rgb);
    return rgb;
}

DibHandle CameraPictureA(int picture) {
    if (!g_a.driver || !g_a.workArea)
        return 0;
    uint8_t info[24] = {};
    if (g_a.e.getPictureInfo(g_a.instance, picture, info) != 0)
        return 0;
    const std::span<const uint8_t> i(info);
    const uint32_t dataSize = GetU32(i, 2);
    const uint16_t width = GetU16(i, 6), height = GetU16(i, 8);
    if (dataSize == 0 || dataSize > (64u << 20))
        return 0;
    std::vector<uint8_t> data(dataSize);
    DWORD result = 0;
    if (g_a.e.getFullSize(g_a.instance, picture, data.data(), dataSize, 1, &result) != 0)
        return 0;
    HandleLock work(g_a.workArea);
    g_a.e.initIpm(work.get());
    g_a.e.calculateColorTables(work.get());
    WORD rgb16 = 0, outWidth = 0, outHeight = 0;
    DibHandle dib = 0;
    if (g_a.e.imageToRgb(work.get(), data.data(), dataSize, static_cast<DWORD>(width) * height * 3, &rgb16, &outWidth,
                         &outHeight) == 0) {
        std::vector<uint8_t> rgb;
        if (CopyHandle16(rgb16, g_a.e.sizeOfHandle16(rgb16), &rgb))
            dib = RgbToDib(rgb, width, height);
        g_a.e.releaseRgb();
    }
    g_a.e.endIpm(work.get());
    return dib;
}
