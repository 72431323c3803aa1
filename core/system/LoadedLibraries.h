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
    // Takes the module out, closing the gap so the table stays filled from the front; false
    // when it is not listed.
    bool Forget(void* module);
    // Whether the module is listed (not freed since it was loaded).
    bool Holds(void* module) const;
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
// Frees a library SafeLoadLibrary loaded and takes it out of the table; null does nothing.
void SafeFreeLibrary(HMODULE module);
void FreeLoadedLibraries();
#endif
