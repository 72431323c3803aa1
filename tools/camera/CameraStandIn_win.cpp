// A digital camera with test pictures behind the camera libraries' entry points. Built three
// times: CAMERA_LIB_LMQTCD32 (the first family's driver), CAMERA_LIB_LMQTCI32 (its imaging
// library), CAMERA_LIB_LMKDC32 (the second family).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 40, kHeight = 30, kThumbWidth = 16, kThumbHeight = 12;

std::string Env(const char* name) {
    char text[64] = {};
    return GetEnvironmentVariableA(name, text, sizeof text) ? text : "";
}

std::string g_log;

#if !defined(CAMERA_LIB_LMQTCI32)
// The drivers' own: the camera's port and pictures, and the log of their calls.
int CameraPort() {
    const std::string port = Env("LOOM_CAMERA_PORT");
    if (port == "none")
        return -1;
    return port.empty() ? 2 : std::atoi(port.c_str());
}

int PictureCount() {
    const std::string count = Env("LOOM_CAMERA_PICTURES");
    return count.empty() ? 3 : std::atoi(count.c_str());
}

void Log(const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    g_log += text;
    g_log += ' ';
}
#endif

#if !defined(CAMERA_LIB_LMQTCD32)
// Bottom-up rows of blue, green, red.
std::vector<uint8_t> Pixels(int picture, int width, int height) {
    std::vector<uint8_t> rgb;
    for (int row = height - 1; row >= 0; --row)
        for (int x = 0; x < width; ++x)
            rgb.insert(rgb.end(), {static_cast<uint8_t>(row * 8 & 0xF8), static_cast<uint8_t>(x * 8 & 0xF8),
                                   static_cast<uint8_t>(picture * 48 & 0xF8)});
    return rgb;
}
#endif

// ---- 16-bit global memory through WOW32 ----
struct Wow {
    WORD(WINAPI* alloc)(WORD, DWORD);
    WORD(WINAPI* free)(WORD);
    DWORD(WINAPI* lock)(WORD);
    BOOL(WINAPI* unlock)(WORD);
    LPVOID(WINAPI* pointer)(DWORD, DWORD, BOOL);
};
Wow Wow32() {
    static Wow w{};
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (HMODULE m = LoadLibraryA("wow32.dll")) {
            w.alloc = reinterpret_cast<decltype(w.alloc)>(reinterpret_cast<void*>(GetProcAddress(m, "WOWGlobalAlloc16")));
            w.free = reinterpret_cast<decltype(w.free)>(reinterpret_cast<void*>(GetProcAddress(m, "WOWGlobalFree16")));
            w.lock = reinterpret_cast<decltype(w.lock)>(reinterpret_cast<void*>(GetProcAddress(m, "WOWGlobalLock16")));
            w.unlock = reinterpret_cast<decltype(w.unlock)>(reinterpret_cast<void*>(GetProcAddress(m, "WOWGlobalUnlock16")));
            w.pointer = reinterpret_cast<decltype(w.pointer)>(reinterpret_cast<void*>(GetProcAddress(m, "WOWGetVDMPointer")));
        }
    }
    return w;
}

std::map<WORD, DWORD> g_sizes;

// A 16-bit handle holding the bytes; its size is the bytes' unless the test asks for a short one.
WORD Handle16(const std::vector<uint8_t>& bytes) {
    const Wow w = Wow32();
    if (!w.alloc || !w.lock || !w.pointer)
        return 0;
    const WORD h = w.alloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<DWORD>(bytes.size()));
    if (!h)
        return 0;
    const DWORD vp = w.lock(h);
    if (void* p = w.pointer(vp, static_cast<DWORD>(bytes.size()), TRUE))
        std::memcpy(p, bytes.data(), bytes.size());
    w.unlock(h);
    g_sizes[h] = static_cast<DWORD>(bytes.size());
    return h;
}

void Free16(WORD h) {
    if (h && Wow32().free) {
        Wow32().unlock(h);
        Wow32().free(h);
    }
    g_sizes.erase(h);
}

DWORD SizeOf16(WORD h) {
    auto it = g_sizes.find(h);
    if (it == g_sizes.end())
        return 0;
    return Env("LOOM_CAMERA_FAIL") == "short" ? it->second / 2 : it->second;
}

bool Present(char family) { return Env("LOOM_CAMERA").find(family) != std::string::npos; }

}  // namespace

#define EXPORT extern "C" __declspec(dllexport)

EXPORT const char* WINAPI LoomCameraLog() { return g_log.c_str(); }
EXPORT DWORD WINAPI LoomHandleSize(WORD h) { return SizeOf16(h); }

#if defined(CAMERA_LIB_LMQTCD32)
// The first family's driver. Port information: a 16:16 address of a block that holds the 16:16
// address of the record, whose first word is its flags (1: usable).
namespace {
struct PortInfo {
    WORD outer, inner;
    int port;
};
std::map<DWORD, PortInfo> g_ports;  // by the outer block's address
// A locked 16:16 address of a handle's block.
DWORD Address16(WORD h) { return Wow32().lock ? Wow32().lock(h) : 0; }
int g_connectedPort = 0;
}  // namespace

EXPORT DWORD WINAPI GetCameraInstance(WORD window16) { return 0x4C4D0000u | window16; }
EXPORT WORD WINAPI CmOpenDriver(DWORD* instance) { return instance && *instance ? 0 : 15; }
EXPORT WORD WINAPI CmCloseDriver(DWORD* instance) {
    if (instance)
        *instance = 0;
    Log("close", 0);
    return 0;
}
EXPORT WORD WINAPI CmGetPortInfo(DWORD, int port, DWORD* info) {
    Log("port%d", port);
    const WORD inner = Handle16({1, 0});
    const DWORD innerAddress = Address16(inner);
    std::vector<uint8_t> holder(4);
    std::memcpy(holder.data(), &innerAddress, 4);
    const WORD outer = Handle16(holder);
    const DWORD outerAddress = Address16(outer);
    g_ports[outerAddress] = {outer, inner, port};
    *info = outerAddress;
    return outerAddress ? 0 : 15;
}
EXPORT WORD WINAPI CmDisposePortInfo(DWORD, DWORD info) {
    auto it = g_ports.find(info);
    if (it == g_ports.end())
        return 15;
    Free16(it->second.outer);
    Free16(it->second.inner);
    g_ports.erase(it);
    return 0;
}
EXPORT WORD WINAPI CmConnect(DWORD, DWORD info) {
    auto it = g_ports.find(info);
    if (it == g_ports.end() || it->second.port != CameraPort())
        return 15;
    g_connectedPort = it->second.port;
    Log("connected%d", g_connectedPort);
    return 0;
}
EXPORT WORD WINAPI CmDisconnect(DWORD) {
    g_connectedPort = 0;
    return 0;
}
EXPORT WORD WINAPI CmCheckIfReady(DWORD) { return g_connectedPort ? 0 : 15; }
EXPORT WORD WINAPI CmGetCameraInfo(DWORD, uint8_t* record) {
    std::memset(record, 0, 92);
    const uint16_t count = static_cast<uint16_t>(PictureCount()), w = kThumbWidth, h = kThumbHeight;
    std::memcpy(record + 1, &count, 2);
    std::memcpy(record + 9, &w, 2);
    std::memcpy(record + 11, &h, 2);
    return 0;
}
EXPORT WORD WINAPI CmGetThumbnailImage(DWORD, int picture, uint8_t* buffer, DWORD size, int, DWORD* result) {
    Log("thumb%d", picture);
    if (!buffer || size < 1 || picture < 1 || picture > PictureCount())
        return 15;
    buffer[0] = static_cast<uint8_t>(picture);
    *result = 1;
    return 0;
}
EXPORT WORD WINAPI CmGetPictureInfo(DWORD, int picture, uint8_t* info) {
    if (picture < 1 || picture > PictureCount())
        return 15;
    std::memset(info, 0, 24);
    const uint32_t size = 16;
    const uint16_t w = kWidth, h = kHeight;
    std::memcpy(info + 2, &size, 4);
    std::memcpy(info + 6, &w, 2);
    std::memcpy(info + 8, &h, 2);
    return 0;
}
EXPORT WORD WINAPI CmGetFullSizeImage(DWORD, int picture, uint8_t* buffer, DWORD size, int, DWORD* result) {
    Log("full%d", picture);
    if (Env("LOOM_CAMERA_FAIL") == "fetch" || size < 1)
        return 15;
    buffer[0] = static_cast<uint8_t>(picture);
    *result = 1;
    return 0;
}
EXPORT DWORD WINAPI SizeOfHandle16(WORD h) {
    using SizeProc = DWORD(WINAPI*)(WORD);
    HMODULE imaging = GetModuleHandleA("lmqtci32.dll");
    auto size = imaging ? reinterpret_cast<SizeProc>(reinterpret_cast<void*>(GetProcAddress(imaging, "LoomHandleSize")))
                        : nullptr;
    return size ? size(h) : 0;
}
#elif defined(CAMERA_LIB_LMQTCI32)
// The first family's imaging library: "converts" the driver's data (the picture number in the
// first byte) into the test picture.
namespace {
WORD g_rgb = 0;
}
EXPORT WORD WINAPI IpInitIPM(void* work) { return work ? 0 : 15; }
EXPORT WORD WINAPI IpCalculateColorTables(void*) { return 0; }
EXPORT WORD WINAPI IpEndIPM(void*) { return 0; }
EXPORT WORD WINAPI IpConvertThumbnailToRGB(void*, const uint8_t* thumb, uint8_t* rgb, const uint16_t* request) {
    const std::vector<uint8_t> pixels = Pixels(thumb[0], request[0], request[1]);
    std::memcpy(rgb, pixels.data(), pixels.size());
    return 0;
}
EXPORT WORD WINAPI IpConvertImageToRGB(void*, const uint8_t* data, DWORD, DWORD rgbSize, WORD* handle, WORD* width,
                                       WORD* height) {
    const std::vector<uint8_t> pixels = Pixels(data[0], kWidth, kHeight);
    if (rgbSize != pixels.size())
        return 15;
    g_rgb = Handle16(pixels);
    *handle = g_rgb;
    *width = kWidth;
    *height = kHeight;
    return g_rgb ? 0 : 15;
}
EXPORT void WINAPI ReleaseRGBImageBuffer() {
    Free16(g_rgb);
    g_rgb = 0;
}
#elif defined(CAMERA_LIB_LMKDC32)
// The second family: the camera state's first word is the port; the status record holds the
// count and the thumbnail sizes; picture information the buffer's handle, width and height.
namespace {
bool g_open = false;
}
EXPORT DWORD WINAPI GetKDCCameraInstance() { return 0x4B44u; }
EXPORT int16_t WINAPI DCOpenDriver(int code, uint8_t* state) { return code == 4514 && state ? 0 : -1016; }
EXPORT int16_t WINAPI DCCloseDriver(uint8_t*) { return 0; }
EXPORT int16_t WINAPI SetKDCCameraData16(uint8_t* camera, uint8_t* driver, int) { return camera && driver ? 0 : -1016; }
EXPORT int16_t WINAPI DCOpenCamera(uint8_t* camera) {
    uint16_t port = 0;
    std::memcpy(&port, camera, 2);
    Log("port%d", port);
    g_open = port == CameraPort();
    return g_open ? 0 : -1;
}
EXPORT int16_t WINAPI DCCloseCamera(uint8_t*) {
    g_open = false;
    return 0;
}
EXPORT int16_t WINAPI DCGetStatus(uint8_t*, uint8_t* status, int) {
    if (!g_open)
        return -1;
    const uint16_t values[3] = {static_cast<uint16_t>(PictureCount()), kThumbWidth, kThumbHeight};
    std::memcpy(status, values, sizeof values);
    return 0;
}
EXPORT int16_t WINAPI DCGetCameraPictInfo(uint8_t*, int picture, int thumbnail, uint8_t* info, int) {
    if (!g_open || picture < 1 || picture > PictureCount())
        return -1;
    Log(thumbnail ? "thumb%d" : "info%d", picture);
    uint16_t values[3] = {0, static_cast<uint16_t>(thumbnail ? kThumbWidth : kWidth),
                          static_cast<uint16_t>(thumbnail ? kThumbHeight : kHeight)};
    if (thumbnail)
        values[0] = Handle16(Pixels(picture, kThumbWidth, kThumbHeight));
    std::memcpy(info, values, sizeof values);
    return 0;
}
EXPORT int16_t WINAPI DCGetCameraPicture(uint8_t*, int picture, const uint8_t* request, WORD* handle, int) {
    Log("full%d", picture);
    uint16_t w = 0, h = 0;
    std::memcpy(&w, request, 2);
    std::memcpy(&h, request + 2, 2);
    if (Env("LOOM_CAMERA_FAIL") == "fetch" || w != kWidth || h != kHeight)
        return -1;
    *handle = Handle16(Pixels(picture, w, h));
    return *handle ? 0 : -1;
}
EXPORT void WINAPI ReleaseKDCBuffers() {}
EXPORT DWORD WINAPI SizeOfKDCHandle16(WORD h) { return SizeOf16(h); }
EXPORT int16_t WINAPI FreeKDCThumbNail(WORD h) {
    Free16(h);
    return 0;
}
#endif

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
#if defined(CAMERA_LIB_LMKDC32)
    return Present('B');
#else
    return Present('A');
#endif
}
