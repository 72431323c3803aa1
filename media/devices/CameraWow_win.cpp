// WOW32 by name: the camera libraries hand out 16-bit handles and addresses.
#include "media/devices/CameraDrivers_win.h"

namespace {

struct Wow {
    HMODULE module = nullptr;
    WORD(WINAPI* handle16)(HANDLE, int) = nullptr;
    LPVOID(WINAPI* fix)(DWORD, DWORD, BOOL) = nullptr;
    VOID(WINAPI* unfix)(DWORD) = nullptr;
    DWORD(WINAPI* lock16)(WORD) = nullptr;
    BOOL(WINAPI* unlock16)(WORD) = nullptr;
    bool tried = false;
};
Wow g_wow;

template <typename T>
void Bind(T* proc, const char* name) {
    *proc = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(g_wow.module, name)));
}

const Wow& W() {
    if (!g_wow.tried) {
        g_wow.tried = true;
        g_wow.module = LoadLibraryA("wow32.dll");
        if (g_wow.module) {
            Bind(&g_wow.handle16, "WOWHandle16");
            Bind(&g_wow.fix, "WOWGetVDMPointerFix");
            Bind(&g_wow.unfix, "WOWGetVDMPointerUnfix");
            Bind(&g_wow.lock16, "WOWGlobalLock16");
            Bind(&g_wow.unlock16, "WOWGlobalUnlock16");
        }
    }
    return g_wow;
}

constexpr int kWowTypeHwnd = 0;

}  // namespace

WORD WindowHandle16(HWND window) { return W().handle16 ? W().handle16(window, kWowTypeHwnd) : 0; }

void* FixVdmPointer(DWORD address, DWORD size) { return W().fix && address ? W().fix(address, size, TRUE) : nullptr; }

void UnfixVdmPointer(DWORD address) {
    if (W().unfix && address)
        W().unfix(address);
}

bool CopyHandle16(WORD handle, uint32_t size, std::vector<uint8_t>* out) {
    constexpr uint32_t kLargestBuffer = 64u << 20;  // no camera picture is larger
    if (!handle || !W().lock16 || !out || size == 0 || size > kLargestBuffer)
        return false;
    const DWORD address = W().lock16(handle);
    const auto* bytes = static_cast<const uint8_t*>(FixVdmPointer(address, size));
    if (bytes)
        out->assign(bytes, bytes + size);
    UnfixVdmPointer(address);
    if (W().unlock16)
        W().unlock16(handle);
    return bytes != nullptr;
}
