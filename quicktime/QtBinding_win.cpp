// Finding "QuickTime.qts": a copy already in the process (taking a reference of our own), the
// host program's folder, the system folder, and last the plug-in's own folder, where our build
// puts the library beside nploom.dll.
#include <windows.h>

#include <string>

#include "quicktime/QuickTime.h"

namespace {

std::string FolderOf(HMODULE module) {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return {};
    std::string folder(path, n);
    const size_t cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
}

HMODULE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&FolderOf), &module);
    return module;
}

HMODULE LoadFrom(const std::string& folder) {
    return folder.empty() ? nullptr : LoadLibraryA((folder + kQtLibraryName).c_str());
}

void* LoadQuickTime() {
    if (HMODULE loaded = GetModuleHandleA(kQtLibraryName)) {
        char path[MAX_PATH] = {};
        const DWORD n = GetModuleFileNameA(loaded, path, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            if (HMODULE again = LoadLibraryA(path))
                return again;
    }
    if (HMODULE m = LoadFrom(FolderOf(nullptr)))
        return m;
    char system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryA(system, MAX_PATH);
    if (n > 0 && n < MAX_PATH)
        if (HMODULE m = LoadFrom(std::string(system, n) + "\\"))
            return m;
    return LoadFrom(FolderOf(ThisModule()));
}

void* ResolveEntry(void* library, const char* name) {
    return library ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)) : nullptr;
}

void ReleaseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace

QtLibraryOps SystemQtLibraryOps() { return {LoadQuickTime, ResolveEntry, ReleaseLibrary}; }
