// The system's file calls under the file layer, in their Win16 form but for existence and removal
// (see SysExists). Opens and existence tests switch the error mode so that a missing disk never
// brings up the system's own box.
#include <windows.h>

#include <cstring>

#include "core/files/FileLayer.h"

namespace {

// Critical errors fail silently for one call.
class QuietErrors {
public:
    QuietErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;
private:
    UINT previous_;
};

HFILE ToHfile(FileRef file) { return static_cast<HFILE>(file); }
HANDLE ToHandle(FileRef file) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)); }

FileRef SysOpen(const char* path, int mode) {
    QuietErrors quiet;
    const int access = mode == kOpenWrite ? OF_WRITE : mode == kOpenReadWrite ? OF_READWRITE : OF_READ;
    const HFILE file = _lopen(path, access | OF_SHARE_DENY_NONE);
    return file == HFILE_ERROR ? kNoFile : static_cast<FileRef>(file);
}

FileRef SysCreate(const char* path) {
    QuietErrors quiet;
    const HFILE file = _lcreat(path, 0);
    return file == HFILE_ERROR ? kNoFile : static_cast<FileRef>(file);
}

int32_t SysRead(FileRef file, void* buffer, uint32_t count) {
    const UINT n = _lread(ToHfile(file), buffer, count);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<int32_t>(n);
}

int32_t SysWrite(FileRef file, const void* buffer, uint32_t count) {
    const UINT n = _lwrite(ToHfile(file), static_cast<LPCCH>(buffer), count);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<int32_t>(n);
}

int32_t SysSeek(FileRef file, int32_t offset, int origin) {
    const LONG position = _llseek(ToHfile(file), offset, origin);
    return position == HFILE_ERROR ? -1 : static_cast<int32_t>(position);
}

int SysTruncate(FileRef file, uint32_t position) {
    const LONG previous = _llseek(ToHfile(file), 0, FILE_CURRENT);
    if (_llseek(ToHfile(file), static_cast<LONG>(position), FILE_BEGIN) == HFILE_ERROR)
        return static_cast<int>(GetLastError());
    const int result = SetEndOfFile(ToHandle(file)) ? 0 : static_cast<int>(GetLastError());
    if (previous != HFILE_ERROR)
        _llseek(ToHfile(file), previous, FILE_BEGIN);
    return result;
}

void SysClose(FileRef file) { _lclose(ToHfile(file)); }

// Not OpenFile: its record holds 128 characters of path, and a longer one is taken as missing.
bool SysExists(const char* path) {
    QuietErrors quiet;
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SysRemove(const char* path) {
    QuietErrors quiet;
    DeleteFileA(path);
}

bool SysMakeTempName(const char* prefix, char* buffer, size_t size) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    const DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return false;
    if (GetTempFileNameA(folder, prefix, 0, name) == 0)
        return false;
    const size_t length = std::strlen(name);
    if (length + 1 > size) {
        DeleteFileA(name);
        return false;
    }
    std::memcpy(buffer, name, length + 1);
    return true;
}

int SysFlush(FileRef file) { return FlushFileBuffers(ToHandle(file)) ? 0 : static_cast<int>(GetLastError()); }

// The old file stays whole until the new one takes its name.
int SysReplace(const char* from, const char* to) {
    QuietErrors quiet;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0 : static_cast<int>(GetLastError());
}

constexpr FileSystemOps kSystemOps = {SysOpen,     SysCreate, SysRead,   SysWrite,  SysSeek,
                                      SysTruncate, SysClose,  SysExists, SysRemove, SysMakeTempName,
                                      SysFlush,    SysReplace};

// Installed when the module loads, before anything opens a file.

}  // namespace

const FileSystemOps* SystemFileSystem() { return &kSystemOps; }
