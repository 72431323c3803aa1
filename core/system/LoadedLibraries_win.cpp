// Loading libraries at run time without the system's "file not found" boxes.
#include "core/system/LoadedLibraries.h"

HMODULE SafeLoadLibrary(const char* fileName) {
    LoadedLibraryTable& table = LoadedLibraries();
    if (!fileName || !table.HasRoom())
        return nullptr;
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(fileName);
    SetErrorMode(oldMode);
    if (module)
        table.Record(module);
    return module;
}

void SafeFreeLibrary(HMODULE module) {
    if (module && LoadedLibraries().Forget(module))
        FreeLibrary(module);
}

void FreeLoadedLibraries() {
    LoadedLibraries().ReleaseAll([](void* module) { FreeLibrary(static_cast<HMODULE>(module)); });
}
