// The file wrappers and the checks built on slots, over the active file system.
#include "core/files/FileLayer.h"

#include <cstring>

#include "core/files/FileLayerMemory.h"
#include "core/files/FileReplacement.h"

namespace {

// The test seam: calls of each step counted, and the one that is to fail.
struct FileSteps {
    int counted[kFileStepKinds] = {};
    FileStep failing = FileStep::Create;
    int failAt = 0;  // 0: none
};

// The file system in use, and the seam over it.
struct FileLayerState {
    const FileSystemOps* system = nullptr;
    FileSteps steps;
} g_files;

// Counts a call of the step; true when it is the one to fail.
bool StepFails(FileStep step) {
    const int n = ++g_files.steps.counted[static_cast<int>(step)];
    return g_files.steps.failAt != 0 && step == g_files.steps.failing && n == g_files.steps.failAt;
}

}  // namespace

void FailFileStepAt(FileStep step, int n) {
    g_files.steps.failing = step;
    g_files.steps.failAt = n > 0 ? g_files.steps.counted[static_cast<int>(step)] + n : 0;
}

void ResetFileStepCounts() { g_files.steps = FileSteps{}; }

int CountedFileSteps(FileStep step) { return g_files.steps.counted[static_cast<int>(step)]; }

void SetFileSystem(const FileSystemOps* ops) { g_files.system = ops; }

const FileSystemOps& ActiveFileSystem() { return g_files.system ? *g_files.system : MemoryFileSystemOps(); }

int OpenFileSpec(const FileSpec* spec, int mode, FileRef* file) {
    if (!file)
        return kFileFailed;
    *file = kNoFile;
    if (!spec || mode < kOpenRead || mode > kOpenReadWrite || !spec->path[0])
        return kFileFailed;
    char path[kFileSpecPathSize];
    CopyPathText(PathOf(*spec), path, sizeof path);
    *file = ActiveFileSystem().open(path, mode);
    return *file == kNoFile ? kFileFailed : kFileOk;
}

int OpenFileSlot(int slot, int mode, FileRef* file) { return OpenFileSpec(GetFileSpec(slot), mode, file); }

namespace {

// The checks and the count both wrappers share: *count becomes what was moved.
template <class Move>
int MoveBytes(int32_t* count, bool haveBuffer, Move move) {
    if (!count || *count < 0 || (*count > 0 && !haveBuffer)) {
        if (count)
            *count = 0;
        return kFileFailed;
    }
    const int32_t wanted = *count;
    if (wanted == 0)
        return kFileOk;
    const int32_t moved = move(static_cast<uint32_t>(wanted));
    *count = moved < 0 ? 0 : moved;
    return moved == wanted ? kFileOk : kFileFailed;
}

}  // namespace

int FileRead(FileRef file, int32_t* count, void* buffer) {
    return MoveBytes(count, buffer != nullptr,
                     [&](uint32_t n) { return ActiveFileSystem().read(file, buffer, n); });
}

int FileWrite(FileRef file, int32_t* count, const void* buffer) {
    return MoveBytes(count, buffer != nullptr, [&](uint32_t n) {
        return StepFails(FileStep::Write) ? -1 : ActiveFileSystem().write(file, buffer, n);
    });
}

int FileSeek(FileRef file, int origin, int32_t offset) {
    if (origin < kSeekStart || origin > kSeekEnd)
        return kFileFailed;
    const int32_t position = ActiveFileSystem().seek(file, offset, origin);
    return (position >= 0 && position == offset) ? kFileOk : kFileFailed;
}

int FileGetPosition(FileRef file, int32_t* position) {
    if (!position)
        return kFileFailed;
    *position = ActiveFileSystem().seek(file, 0, kSeekCurrent);
    return *position < 0 ? kFileFailed : kFileOk;
}

int32_t FileGetLength(FileRef file) {
    const FileSystemOps& fs = ActiveFileSystem();
    const int32_t here = fs.seek(file, 0, kSeekCurrent);
    if (here < 0)
        return -1;
    const int32_t length = fs.seek(file, 0, kSeekEnd);
    fs.seek(file, here, kSeekStart);
    return length;
}

int FileTruncate(FileRef file, uint32_t position) { return ActiveFileSystem().truncate(file, position); }

int FileFlush(FileRef file) {
    if (StepFails(FileStep::Flush))
        return kFileFailed;
    return ActiveFileSystem().flush(file) == 0 ? kFileOk : kFileFailed;
}

int ReplaceFilePath(const char* from, const char* to) {
    if (!from || !from[0] || !to || !to[0] || StepFails(FileStep::Replace))
        return kFileFailed;
    return ActiveFileSystem().replace(from, to) == 0 ? kFileOk : kFileFailed;
}

FileRef CreateNewFile(const char* path) {
    if (!path || !path[0] || StepFails(FileStep::Create))
        return kNoFile;
    return ActiveFileSystem().createNew(path);
}

bool GetFileStamp(const char* path, FileStamp* stamp) {
    *stamp = FileStamp{};
    return path && path[0] && ActiveFileSystem().stamp(path, stamp);
}

void FileClose(FileRef file) {
    if (file != kNoFile)
        ActiveFileSystem().close(file);
}

bool FileExists(const char* path) {
    FileStamp stamp;
    return path && path[0] && ActiveFileSystem().stamp(path, &stamp);
}

int CheckFileSlotExists(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    if (!spec)
        return kFileMissing;
    char path[kFileSpecPathSize];
    GetFileSpecPath(slot, sizeof path, path);
    return FileExists(path) ? kFileOk : kFileMissing;
}

void DeleteFilePath(const char* path) {
    if (path && path[0])
        ActiveFileSystem().remove(path);
}

bool MakeTempFileName(const char* prefix, char* buffer, size_t size) {
    CopyPathText({}, buffer, size);
    return buffer && size > 0 && ActiveFileSystem().makeTempName(prefix ? prefix : "", buffer, size);
}

int FileReadAt(FileRef file, uint32_t position, uint32_t count, void* buffer) {
    if (position > 0x7FFFFFFFu || count > 0x7FFFFFFFu)
        return kFileFailed;
    if (FileSeek(file, kSeekStart, static_cast<int32_t>(position)) != kFileOk)
        return kFileFailed;
    auto n = static_cast<int32_t>(count);
    return FileRead(file, &n, buffer);
}

int CopySlotFile(int source, int destination) {
    FileRef in = kNoFile;
    int err = OpenFileSlot(source, kOpenRead, &in);
    if (err != kFileOk)
        return err;
    const int32_t length = FileGetLength(in);
    Handle data = length >= 0 ? NewHandle(static_cast<uint32_t>(length)) : 0;
    if (!data) {
        FileClose(in);
        return length < 0 ? kFileFailed : kFileMissing;
    }
    {
        HandleLock lock(data);
        int32_t count = length;
        err = lock ? FileRead(in, &count, lock.get()) : kFileMissing;
    }
    FileClose(in);
    if (err == kFileOk) {
        char path[kFileSpecPathSize];
        GetFileSpecPath(destination, sizeof path, path);
        HandleLock lock(data);
        err = !lock ? kFileMissing
                    : path[0] && WriteWholeFile(path, lock.bytes()) == ReplaceFailure::None ? kFileOk : kFileFailed;
    }
    DisposeHandle(data);
    return err;
}

int GetFileSizeAndAccess(int slot, uint32_t* size, int* readOnly) {
    if (size)
        *size = 0;
    if (readOnly)
        *readOnly = 0;
    if (CheckFileSlotExists(slot) != kFileOk)
        return kFileFailed;
    FileRef file = kNoFile;
    if (OpenFileSlot(slot, kOpenRead, &file) != kFileOk)
        return kFileFailed;
    const int32_t length = FileGetLength(file);
    FileClose(file);
    if (length < 0)
        return kFileFailed;
    if (size)
        *size = static_cast<uint32_t>(length);
    if (OpenFileSlot(slot, kOpenWrite, &file) == kFileOk)
        FileClose(file);
    else if (readOnly)
        *readOnly = 1;
    return kFileOk;
}

bool TestFileWritable(int slot) {
    if (!GetFileSpec(slot))
        return false;
    char path[kFileSpecPathSize];
    GetFileSpecPath(slot, sizeof path, path);
    if (!path[0])
        return false;
    // An existing file is left alone: only the folder's writability is asked.
    if (FileExists(path)) {
        FileRef file = kNoFile;
        if (OpenFileSlot(slot, kOpenReadWrite, &file) != kFileOk)
            return false;
        FileClose(file);
        return true;
    }
    const FileRef file = CreateNewFile(path);
    if (file == kNoFile)
        return false;
    FileClose(file);
    DeleteFilePath(path);
    return true;
}
