// Whole files: read into a handle, written from one, and bitmap files.
#include "core/memory/ByteReader.h"
#include "core/ui/UiOps.h"
#include "graphics/dib/BmpFile.h"
#include "graphics/dib/Dib.h"
#include "stack/save/SaveStack.h"

namespace {
constexpr uint32_t kBmpPiece = 32767;
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
    const FileRef file = path && path[0] ? ActiveFileSystem().create(path) : kNoFile;
    if (file == kNoFile)
        return kFileFailed;
    FileCloser closer(file);
    auto n = static_cast<int32_t>(count);
    return count == 0 || FileWrite(file, &n, lock.get()) == kFileOk ? kFileOk : kFileFailed;
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
    int result = 0;
    {
        HandleLock lock(dib);
        const std::span<const uint8_t> bytes = lock.bytes();
        const std::vector<uint8_t> header = BmpFileHeader(bytes);
        const FileRef file = !header.empty() && path && path[0] ? ActiveFileSystem().create(path) : kNoFile;
        if (file != kNoFile) {
            FileCloser closer(file);
            auto n = static_cast<int32_t>(header.size());
            bool ok = FileWrite(file, &n, header.data()) == kFileOk;
            DibLayout layout;
            ReadDibLayout(bytes, layout);
            const uint32_t total = layout.bitsOffset + layout.imageBytes;
            for (uint32_t at = 0; ok && at < total; at += kBmpPiece) {
                n = static_cast<int32_t>(total - at < kBmpPiece ? total - at : kBmpPiece);
                ok = FileWrite(file, &n, bytes.data() + at) == kFileOk;
            }
            result = ok ? 1 : 0;
        }
    }
    return result;
}
