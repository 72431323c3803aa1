// The resource area of a stack file: reading every entry when a file opens, and writing the
// live entries when the stack is saved. Each entry is a 68-byte header and its data padded to a
// multiple of 4 (layout in StackFile.h).
#include <cstring>

#include "core/MacText.h"
#include "core/ByteReader.h"
#include "stack/ResFileAccess.h"

namespace {

constexpr uint32_t kMaxEntries = 0x10000;

uint32_t Padded(uint32_t length) { return (length + 3u) & ~3u; }

// The 68-byte header of an entry in file order.
std::vector<uint8_t> EntryHeaderBytes(const ResEntry& e, uint32_t dataLength) {
    std::vector<uint8_t> header(kResEntryHeaderBytes, 0);
    SetU32(header, kResType, e.type);
    SetU16(header, kResId, e.id);
    SetU16(header, kResWord6, e.word6);
    std::memcpy(&header[kResName], e.name, kResNameBytes);
    SetU32(header, kResAttributes, e.attributes);
    SetU32(header, kResDataLength, dataLength);
    SetU32(header, kResPaddedLength, Padded(dataLength));
    SwapResourceEntryHeader(header);
    return header;
}

}  // namespace

int ReadResourceArea(FileRef file, uint32_t areaOffset, Handle resFile) {
    ResFileAccess access(resFile);
    if (!access)
        return kFileMissing;
    const int32_t fileLength = FileGetLength(file);
    if (fileLength < 0)
        return kFileFailed;
    const auto length = static_cast<uint64_t>(fileLength);

    uint8_t fields[6] = {};
    int err = FileReadAt(file, kResCountPosition, 4, fields);
    if (err == kFileOk)
        err = FileReadAt(file, kResIdPosition, 2, fields + 4);
    if (err != kFileOk)
        return err;
    const uint32_t count = GetBE32(fields, 0);
    ResFile& rf = *access.file();
    rf.areaOffset = areaOffset;
    rf.nextId = GetBE16(fields, 4);
    // Every entry needs at least its header inside the file.
    if (count > kMaxEntries || (count > 0 && (areaOffset > length ||
                                              uint64_t{count} * kResEntryHeaderBytes > length - areaOffset)))
        return kFileFailed;
    if (!access.GrowEntries(count))
        return kFileMissing;
    rf.count = count;
    for (ResEntry& e : access.entries())
        std::memset(&e, 0, sizeof e);

    uint64_t position = areaOffset;
    for (ResEntry& e : access.entries()) {
        uint8_t raw[kResEntryHeaderBytes];
        if (position + kResEntryHeaderBytes > length)
            return kFileFailed;
        err = FileReadAt(file, static_cast<uint32_t>(position), kResEntryHeaderBytes, raw);
        if (err != kFileOk)
            return err;
        ResourceEntryInfo info;
        if (ReadResourceEntryHeader(raw, static_cast<uint32_t>(position), static_cast<uint32_t>(length), info))
            return kFileFailed;
        e.type = info.type;
        e.id = info.id;
        e.word6 = info.word6;
        std::memcpy(e.name, info.name, kResNameBytes);
        e.attributes = info.attributes;
        e.dataLength = info.dataLength;
        e.filePosition = static_cast<uint32_t>(position);
        const uint64_t dataStart = position + kResEntryHeaderBytes;
        if ((info.attributes & kResDeleted) == 0 && info.dataLength != 0) {
            Handle data = NewHandle(info.dataLength);
            if (!data)
                return kFileFailed;
            e.data = data;  // from here the record owns it, also on a failure below
            {
                HandleLock lock(data);
                if (!lock)
                    return kFileMissing;
                err = FileReadAt(file, static_cast<uint32_t>(dataStart), info.dataLength, lock.get());
            }
            if (err != kFileOk)
                return err;
            if (ConvertResourceFromFile(e.type, &e.data)) {
                e.dataLength = GetHandleSize(e.data);
            } else {
                // Data that fails its checks would reach the rest of the program half
                // converted: the entry is dropped as if deleted, and not written again.
                DisposeHandleAndClear(&e.data);
                e.attributes |= kResDeleted;
            }
        }
        position = dataStart + info.paddedLength;
        if (position > 0x7FFFFFFF)
            return kFileFailed;
    }
    return kFileOk;
}

int WriteResourceArea(FileRef file, uint32_t offset, int32_t refNum, const char* savedPath) {
    Handle h = FindResFile(refNum);
    if (!h)
        return kFileMissing;
    {
        // Data that is not in memory is read first: writing in place may cover where it lies.
        ResFileAccess access(h);
        for (ResEntry& e : access.entries()) {
            if ((e.attributes & kResDeleted) || e.dataLength == 0 || (e.data && GetHandleSize(e.data) != 0))
                continue;
            Handle fresh = ReadResourceData(*access.file(), e);
            if (!fresh)
                return kFileMissing;
            DisposeHandle(e.data);
            e.data = fresh;
            e.dataLength = GetHandleSize(fresh);
        }
    }

    ResFileAccess access(h);
    ResFile& rf = *access.file();
    std::vector<uint32_t> positions;
    uint64_t position = offset;
    int err = kFileOk;
    for (const ResEntry& e : access.entries()) {
        if (e.attributes & kResDeleted)
            continue;
        std::vector<uint8_t> data;
        if (e.data && !ResourceToFileBytes(e.type, e.data, data))
            return kFileMissing;
        std::vector<uint8_t> bytes = EntryHeaderBytes(e, static_cast<uint32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        bytes.resize(kResEntryHeaderBytes + Padded(static_cast<uint32_t>(data.size())), 0);  // zero padding
        if (position + bytes.size() > 0x7FFFFFFF)
            return kFileFailed;
        err = FileSeek(file, kSeekStart, static_cast<int32_t>(position));
        auto n = static_cast<int32_t>(bytes.size());
        if (err == kFileOk)
            err = FileWrite(file, &n, bytes.data());
        if (err != kFileOk)
            return err;
        positions.push_back(static_cast<uint32_t>(position));
        position += bytes.size();
    }
    err = FileTruncate(file, static_cast<uint32_t>(position));
    if (err != 0)
        return err;

    // The table now matches the file: live entries only, each at its new place.
    size_t kept = 0;
    const std::span<ResEntry> entries = access.entries();
    for (ResEntry& e : entries) {
        if (e.attributes & kResDeleted) {
            DisposeHandleAndClear(&e.data);
            continue;
        }
        ResEntry moved = e;
        moved.filePosition = positions[kept];
        entries[kept++] = moved;
    }
    rf.count = static_cast<uint32_t>(kept);
    access.GrowEntries(rf.count);  // shrinks: no stale copies stay behind the live entries
    rf.areaOffset = offset;
    char stackPath[kFileSpecPathSize] = {};
    if (!savedPath) {
        GetFileSpecPath(kSlotCurrentStack, sizeof stackPath, stackPath);
        savedPath = stackPath;
    }
    if (savedPath[0]) {
        const bool wasScratch = (rf.flags & kResFileScratch) != 0;
        char oldPath[kFileSpecPathSize];
        CopyPathText(PathOf(rf.spec), oldPath, sizeof oldPath);
        CopyPathText(savedPath, rf.spec.path, sizeof rf.spec.path);
        const std::string_view path = PathOf(rf.spec);
        const size_t cut = path.rfind('\\');
        CopyPathText(cut == std::string_view::npos ? path : path.substr(cut + 1), rf.spec.name, sizeof rf.spec.name);
        if (wasScratch) {
            rf.flags &= ~kResFileScratch;
            if (StrCmpNoCase(oldPath, savedPath) != 0)
                DeleteFilePath(oldPath);
        }
    }
    return kFileOk;
}
