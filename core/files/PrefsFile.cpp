#include "core/files/PrefsFile.h"

#include "core/files/FileSlots.h"

bool GetPrefsFilePath(int slot, char* buffer, size_t size) {
    CopyPathText({}, buffer, size);
    const FileSpec* spec = GetFileSpec(slot);
    if (!spec || PathOf(*spec).empty() || !buffer || size == 0)
        return false;
    CopyPathText(PathOf(*spec), buffer, size);
    SetPathFileName(kPrefsFileName, buffer, size);
    return true;
}
