// The profile file "LMPREFS.INI" beside the program: the user's preferences, which every layer
// may read and write (what they mean is the preferences dialog's, host/state/Preferences.h).
#pragma once

#include <cstddef>

inline constexpr const char* kPrefsFileName = "LMPREFS.INI";
// What a read gives for a missing key or file; callers test for it.
inline constexpr const char* kPrefMissing = "Bad";
// A buffer that holds any value this program writes: a full path and more.
inline constexpr int kPrefValueSize = 1024;

// ---- PrefsFile.cpp ----
// The profile file beside the program of a file-spec slot (slot 6 for the program itself):
// the slot's path with its file name replaced. False without a table or a path.
bool GetPrefsFilePath(int slot, char* buffer, size_t size);

// ---- PrefsFile_win.cpp ----
// Reads section/key of the profile file into the buffer (size in bytes, NUL included); "Bad"
// for a missing key or file. The number of characters read.
int ReadPrefString(const char* section, const char* key, char* buffer, int size);
// Writes the value (a null value deletes the key); the profile call's result.
int WritePrefString(const char* section, const char* key, const char* value);
// Section/key of any profile file, the fallback when missing; the number of characters read.
int ReadProfileString(const char* file, const char* section, const char* key, const char* fallback,
                      char* buffer, int size);
