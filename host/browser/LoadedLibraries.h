// The libraries loaded at run time through SafeLoadLibrary (the imaging glue, camera drivers,
// the scanner library): ten at most, freed together at shut-down.
#pragma once

#include <array>

inline constexpr int kLoadedLibrarySlots = 10;

// The table, filled from the front; null = free. Platform-free so that its rules test natively.
struct LoadedLibraryTable {
    std::array<void*, kLoadedLibrarySlots> slots{};
    bool HasRoom() const;
    // Into the first free slot; false when there is none.
    bool Record(void* module);
    // Calls release on each module from the front up to the first free slot, then empties the
    // table.
    void ReleaseAll(void (*release)(void* module));
};
LoadedLibraryTable& LoadedLibraries();

#ifdef _WIN32
#include <windows.h>
// LoadedLibraries_win.cpp: null (nothing loaded) when all ten slots are taken; otherwise loaded
// with the open-file error box off, and recorded when it loaded.
HMODULE SafeLoadLibrary(const char* fileName);
void FreeLoadedLibraries();
#endif
