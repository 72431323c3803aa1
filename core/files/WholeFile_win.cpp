// A file read whole into memory.
#include "core/files/WholeFile.h"

#include <windows.h>

std::vector<uint8_t> ReadWholeFile(const char* path, uint32_t maxBytes) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size <= maxBytes) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size)
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}
