#include "core/files/PrefsFile.h"

#include <windows.h>

#include <cstring>

#include "core/files/FileSlots.h"

int ReadProfileString(const char* file, const char* section, const char* key, const char* fallback,
                      char* buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = 0;
    return static_cast<int>(GetPrivateProfileStringA(section, key, fallback, buffer, static_cast<DWORD>(size), file));
}

int ReadPrefString(const char* section, const char* key, char* buffer, int size) {
    // The path has a buffer of its own: callers' slots stay as they are.
    char file[kFileSpecPathSize];
    if (!GetPrefsFilePath(kSlotProgram, file, sizeof file)) {
        if (buffer && size > 0)
            CopyPathText(kPrefMissing, buffer, static_cast<size_t>(size));
        return buffer && size > 0 ? static_cast<int>(std::strlen(buffer)) : 0;
    }
    return ReadProfileString(file, section, key, kPrefMissing, buffer, size);
}

int WritePrefString(const char* section, const char* key, const char* value) {
    char file[kFileSpecPathSize];
    if (!GetPrefsFilePath(kSlotProgram, file, sizeof file))
        return 0;
    return WritePrivateProfileStringA(section, key, value, file);
}
