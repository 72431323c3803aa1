// Whole files: read into a handle, written from one, and bitmap files. Every file written here
// is a new one put in the place of the old only once it is whole (core/files/FileReplacement.h).
#include "core/files/FileReplacement.h"
#include "core/memory/ByteReader.h"
#include "core/ui/UiOps.h"
#include "graphics/dib/BmpFile.h"
#include "graphics/dib/Dib.h"
#include "stack/save/SaveStack.h"

namespace {

// A failed export is told once, naming the file.
bool Told(ReplaceFailure failure, const char* path) {
    if (failure == ReplaceFailure::None)
        return true;
    GetUiOps().showAlertNaming(kAlertExportFailed, path ? path : "");
    return false;
}

}  // namespace

int ReadFileToHandle(int slot, Handle* out, uint32_t limit) {
    return ReadFileSpecToHandle(GetFileSpec(slot), out, limit);
}

int ReadFilePathToHandle(const char* path, Handle* out, uint32_t limit) {
    FileSpec spec = EmptyFileSpec();
    SetFileSpecPath(&spec, path ? path : "");
    return ReadFileSpecToHandle(&spec, out, limit);
}

int ReadFileSpecToHandle(const FileSpec* spec, Handle* out, uint32_t limit) {
    if (!out)
        return kFileFailed;
    *out = 0;
    FileRef file = kNoFile;
    int err = OpenFileSpec(spec, kOpenRead, &file);
    if (err != kFileOk)
        return err;
    FileCloser closer(file);
    const int32_t length = FileGetLength(file);
    if (length < 0)
        return kFileFailed;
    const uint32_t count = limit != 0 && uint32_t(length) > limit ? limit : uint32_t(length);
    Handle data = NewHandle(count);
    if (!data)
        return kFileMissing;
    {
        HandleLock lock(data);
        auto n = static_cast<int32_t>(count);
        err = !lock ? kFileMissing : count == 0 ? kFileOk : FileRead(file, &n, lock.get());
    }
    if (err != kFileOk) {
        DisposeHandle(data);
        return err;
    }
    *out = data;
    return kFileOk;
}

int WriteHandleToFile(Handle data, int slot, uint32_t count) {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof path, path);
    return WriteHandleToPath(data, path, count);
}

int WriteHandleToPath(Handle data, const char* path, uint32_t count) {
    HandleLock lock(data);
    if (!lock || count > GetHandleSize(data))
        return kFileFailed;
    return WriteBytesToPath(lock.bytes().first(count), path);
}

int WriteBytesToPath(std::span<const uint8_t> bytes, const char* path) {
    if (!path || !path[0])
        return kFileFailed;
    return Told(WriteWholeFile(path, bytes), path) ? kFileOk : kFileFailed;
}

bool ExportThroughPath(const char* path, const std::function<bool(const char* newPath)>& write) {
    if (!path || !path[0])
        return false;
    FileReplacement replacement(path);
    if (replacement.failure() == ReplaceFailure::None && !write(replacement.newPath().c_str()))
        replacement.WriteFailed();
    if (replacement.failure() == ReplaceFailure::None)
        replacement.Commit();
    const ReplaceFailure failure = replacement.failure();
    return Told(failure, path);
}

std::vector<uint8_t> BmpFileHeader(std::span<const uint8_t> packedDib) {
    DibLayout layout;
    if (!ReadDibLayout(packedDib, layout))
        return {};
    const uint32_t table = layout.tableEntries * 4;
    std::vector<uint8_t> header(kBmpFileHeaderBytes, 0);
    header[0] = 'B';
    header[1] = 'M';
    SetU32(header, 2, kBmpFileHeaderBytes + kDibInfoHeaderBytes + table + layout.imageBytes);
    SetU32(header, 10, kBmpFileHeaderBytes + kDibInfoHeaderBytes + table);
    return header;
}

int SaveDibAsBmp(Handle dib, const char* path) {
    UiWaitCursor wait;
    std::vector<uint8_t> file;
    {
        HandleLock lock(dib);
        const std::span<const uint8_t> bytes = lock.bytes();
        file = BmpFileHeader(bytes);
        if (file.empty() || !path || !path[0])
            return 0;
        DibLayout layout;
        ReadDibLayout(bytes, layout);
        const uint32_t total = layout.bitsOffset + layout.imageBytes;
        if (total > bytes.size())
            return 0;
        file.insert(file.end(), bytes.begin(), bytes.begin() + total);
    }
    return Told(WriteWholeFile(path, file), path) ? 1 : 0;
}
