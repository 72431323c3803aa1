// The system's file calls under the file layer, in their Win16 form but for existence, removal,
// new files and replacement (see SysStamp, SysCreateNew). Opens and existence tests switch the
// error mode so that a missing disk never brings up the system's own box.
#include <windows.h>

#include <cstring>
#include <string>

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

// A path the ANSI calls take as it is; a longer one (a new file's name beside a stack whose path
// is near the limit) goes to the wide calls with the prefix that lifts the limit.
bool FitsAnsiCalls(const char* path) { return std::strlen(path) < MAX_PATH; }

std::wstring LongPath(const char* path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), n);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';  // the prefix takes the path as it stands: no other separator
    if (wide.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

HANDLE OpenForRemoval(const char* path) {
    constexpr DWORD kFlags = FILE_FLAG_DELETE_ON_CLOSE;
    return FitsAnsiCalls(path) ? CreateFileA(path, DELETE, 0, nullptr, OPEN_EXISTING, kFlags, nullptr)
                               : CreateFileW(LongPath(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING, kFlags, nullptr);
}

// Removed only when no process holds it open: the exclusive open fails on any handle, also on a
// new file another save holds open while it may still be renamed (which DeleteFile would take).
void SysRemove(const char* path) {
    QuietErrors quiet;
    const HANDLE file = OpenForRemoval(path);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    // The 95/98 family knows no delete-on-close; a held file refuses DeleteFile there anyway.
    if (GetLastError() == ERROR_INVALID_PARAMETER && FitsAnsiCalls(path))
        DeleteFileA(path);
}

// Shared for deletion, so that the one-step replacement may move it while it is open (and the
// exclusive open of SysRemove fails on it meanwhile); shared for reading and writing, so that a
// writer working by path (the imaging library) can fill it.
FileRef SysCreateNew(const char* path) {
    QuietErrors quiet;
    constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = FitsAnsiCalls(path)
                      ? CreateFileA(path, kAccess, kShare, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
                      : CreateFileW(LongPath(path).c_str(), kAccess, kShare, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER && FitsAnsiCalls(path))
        file = CreateFileA(path, kAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);  // the 95/98 family: no delete sharing
    return file == INVALID_HANDLE_VALUE ? kNoFile : static_cast<FileRef>(reinterpret_cast<intptr_t>(file));
}

// Not OpenFile: its record holds 128 characters of path, and a longer one is taken as missing.
bool SysStamp(const char* path, FileStamp* stamp) {
    QuietErrors quiet;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    const BOOL ok = FitsAnsiCalls(path) ? GetFileAttributesExA(path, GetFileExInfoStandard, &data)
                                        : GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data);
    if (!ok || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    stamp->size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    stamp->writeTime = uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
    return true;
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
    constexpr DWORD kFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const BOOL moved = FitsAnsiCalls(from) && FitsAnsiCalls(to)
                           ? MoveFileExA(from, to, kFlags)
                           : MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), kFlags);
    return moved ? 0 : static_cast<int>(GetLastError());
}

constexpr FileSystemOps kSystemOps = {SysOpen,   SysRead,         SysWrite, SysSeek,    SysTruncate,  SysClose,
                                      SysRemove, SysMakeTempName, SysFlush, SysReplace, SysCreateNew, SysStamp};

// Installed when the module loads, before anything opens a file.

}  // namespace

const FileSystemOps* SystemFileSystem() { return &kSystemOps; }
