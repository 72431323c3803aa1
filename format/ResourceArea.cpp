// The resource area of a stack file: reading every entry when a file opens, and writing the
// live entries when the stack is saved. Each entry is a 68-byte header and its data padded to a
// multiple of 4 (layout in StackFile.h).
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "format/ResFileAccess.h"

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

// Reads an entry's data and converts it for memory with the file's settings. Data that does
// not convert stays as stored and the entry is marked raw. kFileOk, kFileFailed when the bytes
// cannot be read, kFileMissing when memory runs out.
int LoadEntryData(ByteSource& source, ResEntry& e, const StackConversion& cv) {
    Handle data = NewHandle(e.dataLength);
    if (!data)
        return kFileMissing;
    bool read;
    {
        HandleLock lock(data);
        read = lock && source.ReadAt(e.filePosition + kResEntryHeaderBytes, std::span(lock.get(), e.dataLength));
    }
    if (!read) {
        DisposeHandle(data);
        return kFileFailed;
    }
    const char* why = nullptr;
    const int converted = SwapResourceData(e.type, data, ByteOrder::ToHost, cv, &why);
    if (converted == kStackNoMemory) {
        DisposeHandle(data);
        return kFileMissing;
    }
    e.raw = converted == kStackOk ? 0 : 1;
    e.data = data;
    e.dataLength = GetHandleSize(data);
    return kFileOk;
}

int ReadEntries(ByteSource& source, uint32_t areaOffset, Handle resFile, std::string& why) {
    const auto fail = [&](int code, std::string text) {
        why = std::move(text);
        return code;
    };
    ResFileAccess access(resFile);
    if (!access)
        return fail(kFileMissing, "no resource file record");
    const uint64_t size = source.Size();
    uint8_t fields[6] = {};
    if (!source.ReadAt(kHeaderResourceCount, std::span(fields, 4)) ||
        !source.ReadAt(kHeaderNextResourceId, std::span(fields + 4, 2)))
        return fail(kFileFailed, "no resource count in the header");
    const uint32_t count = GetBE32(fields, 0);
    ResFile& rf = *access.file();
    rf.areaOffset = areaOffset;
    rf.nextId = GetBE16(fields, 4);
    // Every entry needs at least its header inside the file.
    if (count > kMaxEntries)
        return fail(kFileFailed, "more than 65536 resources");
    if (count > 0 && (areaOffset > size || uint64_t{count} * kResEntryHeaderBytes > size - areaOffset))
        return fail(kFileFailed, std::to_string(count) + " resources do not fit in the file");
    if (!access.GrowEntries(count))
        return fail(kFileMissing, "no memory for the resource table");
    rf.count = count;
    for (ResEntry& e : access.entries())
        e = ResEntry{};

    uint64_t position = areaOffset;
    uint32_t index = 0;
    for (ResEntry& e : access.entries()) {
        ++index;
        const std::string where = "resource " + std::to_string(index) + " at " + std::to_string(position);
        uint8_t header[kResEntryHeaderBytes];
        if (position > size || !source.ReadAt(static_cast<uint32_t>(position), header))
            return fail(kFileFailed, where + ": entry header past the end of the file");
        uint32_t padded = 0;
        if (const char* fault = ReadResourceEntryHeader(header, static_cast<uint32_t>(position),
                                                        static_cast<uint32_t>(size), e, &padded))
            return fail(kFileFailed, where + ": " + fault);
        if (!(e.attributes & kResDeleted) && e.dataLength != 0) {
            const int err = LoadEntryData(source, e, rf.conversion);
            if (err != kFileOk)
                return fail(err, where + (err == kFileMissing ? ": no memory for its data" : ": data unreadable"));
        }
        position += kResEntryHeaderBytes + uint64_t{padded};
    }
    return kFileOk;
}

// The bytes of an entry's data as the file holds them: converted to file order, or as they
// were read for a raw entry. False when the data does not convert.
bool EntryFileBytes(const ResEntry& e, const StackConversion& cv, std::vector<uint8_t>& out) {
    if (!IsValidHandle(e.data))
        return false;
    out = HandleToBytes(e.data);
    if (e.raw)
        return true;
    return SwapResourceDataBytes(e.type, out, ByteOrder::ToFile, cv, nullptr) == kStackOk;
}

}  // namespace

int ReadResourceArea(ByteSource& source, uint32_t areaOffset, Handle resFile, std::string* reason) {
    std::string why;
    const int err = ReadEntries(source, areaOffset, resFile, why);
    if (err == kFileOk)
        return kFileOk;
    if (reason)
        *reason = why;
    // Nothing of a failed area stays.
    ResFileAccess access(resFile);
    if (access) {
        for (ResEntry& e : access.entries())
            DisposeHandleAndClear(&e.data);
        access.file()->count = 0;
    }
    return err;
}

Handle ReadResourceData(const ResFile& file, const ResEntry& entry) {
    if (entry.filePosition == 0)
        return 0;  // never written to the file: nothing to read
    FileRef f = kNoFile;
    if (OpenFileSpec(&file.spec, kOpenRead, &f) != kFileOk)
        return 0;
    FileByteSource source(f);
    ResEntry fresh = entry;
    fresh.data = 0;
    const int err = LoadEntryData(source, fresh, file.conversion);
    FileClose(f);
    // A reload must read what was read at opening: the same form, raw or converted.
    if (err != kFileOk || fresh.raw != entry.raw) {
        DisposeHandle(fresh.data);
        return 0;
    }
    return fresh.data;
}

int WriteResourceArea(FileRef file, uint32_t offset, int32_t refNum, ResourceAreaPlaces* places) {
    Handle h = FindResFile(refNum);
    if (!h || !places)
        return kFileMissing;
    places->offset = offset;
    places->positions.clear();
    {
        // Data not in memory is read first, from the file the entries still point at.
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
    uint64_t position = offset;
    int err = kFileOk;
    for (const ResEntry& e : access.entries()) {
        if (e.attributes & kResDeleted)
            continue;
        std::vector<uint8_t> data;
        if (e.data && !EntryFileBytes(e, rf.conversion, data))
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
        places->positions.push_back(static_cast<uint32_t>(position));
        position += bytes.size();
    }
    return FileTruncate(file, static_cast<uint32_t>(position)) == 0 ? kFileOk : kFileFailed;
}

void NoteResourceAreaSaved(int32_t refNum, const ResourceAreaPlaces& places, const char* savedPath) {
    Handle h = FindResFile(refNum);
    if (!h)
        return;
    ResFileAccess access(h);
    ResFile& rf = *access.file();
    // The table now matches the file: live entries only, each at its new place.
    size_t kept = 0;
    const std::span<ResEntry> entries = access.entries();
    for (ResEntry& e : entries) {
        if (e.attributes & kResDeleted) {
            DisposeHandleAndClear(&e.data);
            continue;
        }
        ResEntry moved = e;
        moved.filePosition = kept < places.positions.size() ? places.positions[kept] : 0;
        entries[kept++] = moved;
    }
    rf.count = static_cast<uint32_t>(kept);
    access.GrowEntries(rf.count);  // shrinks: no stale copies stay behind the live entries
    rf.areaOffset = places.offset;
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
}
