// The open list and the resource lookups and changes in memory.
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileTypes.h"
#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "format/ResFileAccess.h"

namespace {

Handle g_head = 0;
Handle g_current = 0;
int32_t g_stackRefNum = 0;
uint32_t g_nextRefNum = 1;
bool g_resLoad = true;
int g_screenDpi = 96;


uint8_t NameLength(const uint8_t* name) { return name ? (name[0] < kResNameSize ? name[0] : kResNameSize - 1) : 0; }

void CopyName(uint8_t* to, const uint8_t* from) {
    std::memset(to, 0, kResNameSize);
    const uint8_t n = NameLength(from);
    to[0] = n;
    if (n)
        std::memcpy(to + 1, from + 1, n);
}

bool IsLive(const ResEntry& e) { return (e.attributes & kResDeleted) == 0; }
// What lookups may hand out: live entries whose data was converted (raw ones are only kept).
bool IsUsable(const ResEntry& e) { return IsLive(e) && !e.raw; }

// The index of the matching entry, or -1.
int FindEntry(std::span<const ResEntry> entries, int mode, uint32_t type, uint16_t id, const uint8_t* name,
              int index, Handle data) {
    int seen = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const ResEntry& e = entries[i];
        if (!IsUsable(e) || (mode != kLookupByHandle && e.type != type))
            continue;
        switch (mode) {
        case kLookupById:
            if (e.id == id)
                return static_cast<int>(i);
            break;
        case kLookupByName: {
            uint8_t wanted[kResNameSize];
            CopyName(wanted, name);
            if (EqualPStrNoCase(e.name, wanted))
                return static_cast<int>(i);
            break;
        }
        case kLookupByIndex:
            if (++seen == index)
                return static_cast<int>(i);
            break;
        case kLookupByHandle:
            if (data && e.data == data)
                return static_cast<int>(i);
            break;
        default:
            return -1;
        }
    }
    return -1;
}

// The live entry owning a data handle, in any open file.
bool FindOwner(Handle data, Handle* resFile, int* index) {
    if (!data)
        return false;
    for (Handle h = g_head; h;) {
        ResFileAccess access(h);
        if (!access)
            return false;
        const int i = FindEntry(access.entries(), kLookupByHandle, 0, 0, nullptr, 0, data);
        if (i >= 0) {
            *resFile = h;
            *index = i;
            return true;
        }
        h = access.file()->next;
    }
    return false;
}

// A copy of a handle's bytes, or 0.
Handle CopyHandle(Handle h) {
    Handle copy = h;
    return HandToHand(&copy) == 0 ? copy : 0;
}

}  // namespace

// ---- Record access ----

ResFileAccess::ResFileAccess(Handle resFile) : handle_(resFile) {
    uint8_t* p = resFile ? LockHandle(resFile) : nullptr;
    if (p && GetHandleSize(resFile) >= sizeof(ResFile)) {
        file_ = reinterpret_cast<ResFile*>(p);
        LockEntries();
    } else if (p) {
        UnlockHandle(resFile);
    }
}

ResFileAccess::~ResFileAccess() {
    if (!file_)
        return;
    UnlockEntries();
    UnlockHandle(handle_);
}

void ResFileAccess::LockEntries() {
    entries_ = nullptr;
    capacity_ = 0;
    if (!file_->entries)
        return;
    uint8_t* p = LockHandle(file_->entries);
    if (!p)
        return;
    entries_ = reinterpret_cast<ResEntry*>(p);
    capacity_ = GetHandleSize(file_->entries) / sizeof(ResEntry);
}

void ResFileAccess::UnlockEntries() {
    if (entries_)
        UnlockHandle(file_->entries);
    entries_ = nullptr;
    capacity_ = 0;
}

std::span<ResEntry> ResFileAccess::entries() const {
    if (!file_ || !entries_)
        return {};
    return {entries_, file_->count < capacity_ ? file_->count : capacity_};
}

bool ResFileAccess::GrowEntries(uint32_t count) {
    if (!file_ || !file_->entries || count > 0x10000u)
        return false;
    UnlockEntries();
    const uint32_t old = GetHandleSize(file_->entries);
    const bool grown = SetHandleSize(file_->entries, count * static_cast<uint32_t>(sizeof(ResEntry))) == 0;
    if (grown && count * sizeof(ResEntry) > old) {
        HandleLock lock(file_->entries);
        std::memset(lock.get() + old, 0, count * sizeof(ResEntry) - old);
    }
    LockEntries();
    return grown;
}

Handle ResFileHead() { return g_head; }
void SetResFileHead(Handle head) { g_head = head; }
Handle CurrentResFileHandle() { return g_current; }
void SetCurrentResFileHandle(Handle resFile) { g_current = resFile; }
uint32_t TakeResFileRefNum() { return g_nextRefNum++; }

void DisposeResFileRecord(Handle resFile) {
    if (!resFile)
        return;
    Handle table = 0;
    {
        ResFileAccess access(resFile);
        if (access) {
            for (ResEntry& e : access.entries())
                DisposeHandleAndClear(&e.data);
            table = access.file()->entries;
            access.file()->entries = 0;
        }
    }
    DisposeHandle(table);
    DisposeHandle(resFile);
}

// ---- Open list ----

Handle NewResFileRecord(const FileSpec* spec, const StackConversion& cv) {
    Handle h = NewHandle(sizeof(ResFile));
    if (!h)
        return 0;
    Handle table = NewHandle(0);
    if (!table) {
        DisposeHandle(h);
        return 0;
    }
    HandleLock lock(h);
    auto* rf = reinterpret_cast<ResFile*>(lock.get());
    rf->countPosition = kHeaderResourceCount;
    rf->idPosition = kHeaderNextResourceId;
    rf->entries = table;
    rf->conversion = cv;
    if (spec)
        std::memcpy(&rf->spec, spec, sizeof rf->spec);
    else
        rf->spec.volume = -1;
    return h;
}

int32_t LinkResFile(Handle h) {
    const uint32_t refNum = TakeResFileRefNum();
    {
        ResFileAccess access(h);
        access.file()->refNum = refNum;
        access.file()->next = g_head;
    }
    g_head = h;
    g_current = h;
    return static_cast<int32_t>(refNum);
}

std::vector<ResEntry> CopyResEntries(Handle resFile) {
    ResFileAccess access(resFile);
    return {access.entries().begin(), access.entries().end()};
}

void SetResourceScreenDpi(int dpi) {
    if (dpi > 0)
        g_screenDpi = dpi;
}

int ResourceScreenDpi() { return g_screenDpi; }


int32_t OpenResFileAt(const FileSpec* spec, uint32_t areaOffset) {
    if (!spec)
        return 0;
    FileRef file = kNoFile;
    if (OpenFileSpec(spec, kOpenRead, &file) != kFileOk)
        return 0;
    FileByteSource source(file);
    // This file's own settings: its header's Mac Roman flag and its own drive for paths.
    StackConversion cv;
    cv.verticalDpi = g_screenDpi;
    uint8_t flags[2] = {};
    cv.headerMacRoman = source.ReadAt(kHeaderFlags, flags) && (GetBE16(flags, 0) & kStackMacRomanText) != 0;
    const std::string_view path = PathOf(*spec);
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') {
        cv.stackDrive[0] = path[0];
        cv.stackDrive[1] = ':';
        cv.stackDrive[2] = '\\';
        cv.stackDrive[3] = 0;
    }
    Handle h = NewResFileRecord(spec, cv);
    const int err = h ? ReadResourceArea(source, areaOffset, h, nullptr) : kFileMissing;
    FileClose(file);
    if (err != kFileOk) {
        DisposeResFileRecord(h);
        return 0;
    }
    return LinkResFile(h);
}

uint32_t GetStackResourceBase(int slot) { return GetStackResourceBaseOf(GetFileSpec(slot)); }

uint32_t GetStackResourceBaseOf(const FileSpec* spec) {
    FileRef file = kNoFile;
    if (OpenFileSpec(spec, kOpenRead, &file) != kFileOk)
        return 0;
    uint8_t header[kStackHeaderBytes] = {};
    const int err = FileReadAt(file, 0, kStackHeaderBytes, header);
    FileClose(file);
    return err == kFileOk ? GetBE32(header, kHeaderResourceOffset) : 0;
}

int32_t OpenStackResources(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    if (!spec)
        return 0;
    const bool isStack = FileTypeFromExtension(PathOf(*spec)) == kFileTypeStk;
    if (isStack && !SameFileSpecPath(slot, kSlotCurrentStack)) {
        const uint32_t base = GetStackResourceBase(slot);
        if (base != 0)
            return OpenResFileAt(spec, base);
    }
    Handle h = NewResFileRecord(spec, StackConversion{.verticalDpi = g_screenDpi});
    return h ? LinkResFile(h) : 0;
}

int32_t CreateScratchResFile() {
    char name[kFileSpecPathSize] = {};
    if (!MakeTempFileName("LMT", name, sizeof name))
        return 0;
    if (name[0] && name[1] && name[2] != '\\') {
        // Force a drive root: first character, ':', '\', then the name from its third character.
        std::string forced{name[0], ':', '\\'};
        forced += std::string_view(name).substr(2);
        DeleteFilePath(name);
        CopyPathText(forced, name, sizeof name);
    }
    std::vector<uint8_t> header(kStackHeaderBytes, 0);
    SetBE32(header, kHeaderResourceOffset, kStackHeaderBytes);
    SetBE32(header, kHeaderResourceCount, 0);
    SetBE32(header, kHeaderNextResourceId, 1);
    // The system made the file (empty); a forced root's name is new.
    const FileRef file = FileExists(name) ? ActiveFileSystem().open(name, kOpenReadWrite) : CreateNewFile(name);
    if (file == kNoFile)
        return 0;
    auto count = static_cast<int32_t>(header.size());
    const int err = FileWrite(file, &count, header.data());
    FileClose(file);
    if (err != kFileOk) {
        DeleteFilePath(name);
        return 0;
    }
    FileSpec spec = {};
    spec.volume = -1;
    CopyPathText(name, spec.path, sizeof spec.path);
    const std::string_view path = PathOf(spec);
    const size_t cut = path.rfind('\\');
    CopyPathText(cut == std::string_view::npos ? path : path.substr(cut + 1), spec.name, sizeof spec.name);
    const int32_t refNum = OpenResFileAt(&spec, kStackHeaderBytes);
    if (!refNum) {
        DeleteFilePath(name);
        return 0;
    }
    ResFileAccess access(FindResFile(refNum));
    access.file()->flags |= kResFileScratch;
    return refNum;
}

Handle FindResFile(int32_t refNum) {
    for (Handle h = g_head; h;) {
        ResFileAccess access(h);
        if (!access)
            return 0;
        if (static_cast<int32_t>(access.file()->refNum) == refNum)
            return h;
        h = access.file()->next;
    }
    return 0;
}

void CloseResFile(int32_t refNum) {
    Handle target = FindResFile(refNum);
    if (!target)
        return;
    Handle next = 0;
    bool scratch = false;
    char path[kFileSpecPathSize] = {};
    {
        ResFileAccess access(target);
        next = access.file()->next;
        scratch = (access.file()->flags & kResFileScratch) != 0;
        CopyPathText(PathOf(access.file()->spec), path, sizeof path);
    }
    // Unlink.
    if (g_head == target) {
        g_head = next;
    } else {
        for (Handle h = g_head; h;) {
            ResFileAccess access(h);
            if (access.file()->next == target) {
                access.file()->next = next;
                break;
            }
            h = access.file()->next;
        }
    }
    DisposeResFileRecord(target);
    if (scratch)
        DeleteFilePath(path);
    if (g_current == target)
        g_current = g_head;
    if (g_stackRefNum == refNum)
        g_stackRefNum = 0;
}

void CloseAllResFiles() {
    while (g_head) {
        int32_t refNum;
        {
            ResFileAccess access(g_head);
            if (!access) {
                g_head = 0;
                break;
            }
            refNum = static_cast<int32_t>(access.file()->refNum);
        }
        CloseResFile(refNum);
    }
    g_current = 0;
    g_stackRefNum = 0;
}

int32_t CurrentResFile() {
    ResFileAccess access(g_current);
    return access ? static_cast<int32_t>(access.file()->refNum) : 0;
}

void UseResFile(int32_t refNum) {
    if (Handle h = FindResFile(refNum))
        g_current = h;
}

int32_t GetStackResFile() { return g_stackRefNum; }
void SetStackResFile(int32_t refNum) { g_stackRefNum = refNum; }

// ---- Lookups ----

Handle LookupResource(int mode, uint32_t type, uint16_t id, const uint8_t* name, int index, Handle data) {
    ResFileAccess access(g_current);
    if (!access)
        return 0;
    const int i = FindEntry(access.entries(), mode, type, id, name, index, data);
    if (i < 0)
        return 0;
    ResEntry& e = access.entries()[i];
    if (e.data) {
        if (!IsHandleDiscarded(e.data) && GetHandleSize(e.data) != 0)
            return e.data;
        if (!g_resLoad)
            return e.data;
        // Reload; on failure the entry keeps what it had.
        Handle fresh = ReadResourceData(*access.file(), e);
        if (!fresh)
            return 0;
        DisposeHandle(e.data);
        e.data = fresh;
        e.dataLength = GetHandleSize(fresh);
        return fresh;
    }
    if (!g_resLoad) {
        e.data = NewHandle(0);
        return e.data;
    }
    if (e.dataLength == 0)
        return 0;
    Handle fresh = ReadResourceData(*access.file(), e);
    if (!fresh)
        return 0;
    e.data = fresh;
    e.dataLength = GetHandleSize(fresh);
    return fresh;
}

Handle GetResource(uint32_t type, uint16_t id) { return LookupResource(kLookupById, type, id, nullptr, 0, 0); }
Handle GetNamedResource(uint32_t type, const uint8_t* name) {
    return LookupResource(kLookupByName, type, 0, name, 0, 0);
}
Handle GetIndResource(uint32_t type, int index) { return LookupResource(kLookupByIndex, type, 0, nullptr, index, 0); }

void SetResLoad(bool load) { g_resLoad = load; }
bool GetResLoad() { return g_resLoad; }

int CountResources(uint32_t type) {
    ResFileAccess access(g_current);
    int n = 0;
    for (const ResEntry& e : access.entries())
        if (IsUsable(e) && e.type == type)
            ++n;
    return n;
}

int GetResIndexById(int32_t refNum, uint32_t type, uint16_t id) {
    ResFileAccess access(FindResFile(refNum));
    int n = 0;
    for (const ResEntry& e : access.entries()) {
        if (!IsUsable(e) || e.type != type)
            continue;
        ++n;
        if (e.id == id)
            return n;
    }
    return 0;
}

uint32_t GetResSize(int32_t refNum, uint32_t type, uint16_t id) {
    ResFileAccess access(FindResFile(refNum));
    const int i = FindEntry(access.entries(), kLookupById, type, id, nullptr, 0, 0);
    return i < 0 ? 0 : access.entries()[i].dataLength;
}

uint32_t GetResAreaSize(int32_t refNum) {
    ResFileAccess access(FindResFile(refNum));
    uint32_t total = 0;
    for (const ResEntry& e : access.entries())
        if (IsLive(e))  // only live entries are written
            total += kResEntryHeaderBytes + ((e.dataLength + 3) & ~3u);
    return total;
}

int GetResInfo(Handle data, uint32_t* type, uint16_t* id, uint8_t* name, uint32_t* attributes) {
    Handle owner = 0;
    int index = -1;
    if (!FindOwner(data, &owner, &index))
        return kFileMissing;
    ResFileAccess access(owner);
    const ResEntry& e = access.entries()[index];
    if (type)
        *type = e.type;
    if (id)
        *id = e.id;
    if (name)
        CopyName(name, e.name);
    if (attributes)
        *attributes = e.attributes;
    return kFileOk;
}

void SetResName(uint32_t type, uint16_t id, const uint8_t* name) {
    ResFileAccess access(g_current);
    const int i = FindEntry(access.entries(), kLookupById, type, id, nullptr, 0, 0);
    if (i >= 0)
        CopyName(access.entries()[i].name, name);
}

void GetResName(uint32_t type, uint16_t id, uint8_t* name) {
    if (!name)
        return;
    std::memset(name, 0, kResNameSize);
    ResFileAccess access(g_current);
    const int i = FindEntry(access.entries(), kLookupById, type, id, nullptr, 0, 0);
    if (i >= 0)
        CopyName(name, access.entries()[i].name);
}

uint16_t GetIndResourceId(uint32_t type, int index) {
    ResFileAccess access(g_current);
    const int i = FindEntry(access.entries(), kLookupByIndex, type, 0, nullptr, index, 0);
    return i < 0 ? 0 : access.entries()[i].id;
}

uint16_t GetNamedResourceId(uint32_t type, const uint8_t* name) {
    ResFileAccess access(g_current);
    const int i = FindEntry(access.entries(), kLookupByName, type, 0, name, 0, 0);
    return i < 0 ? 0 : access.entries()[i].id;
}

int GetStackResIndex(uint32_t type, uint16_t id) {
    return g_stackRefNum ? GetResIndexById(g_stackRefNum, type, id) : 0;
}

// ---- Changes ----

uint16_t NextUniqueResId(Handle resFile) {
    ResFileAccess access(resFile);
    if (!access)
        return 1;
    std::vector<bool> used(0x10000, false);
    for (const ResEntry& e : access.entries())
        used[e.id] = true;
    uint16_t candidate = access.file()->nextId;
    // At most every id once: a full table cannot keep the search going.
    for (uint32_t tries = 0; tries < 0xFFFF; ++tries) {
        candidate = static_cast<uint16_t>(candidate + 1);
        if (candidate == 0)
            candidate = 1;
        if (!used[candidate]) {
            // Kept in memory; the header written by the next save carries it to the file.
            access.file()->nextId = candidate;
            return candidate;
        }
    }
    return 0;
}

uint16_t GetResFileNextId(int32_t refNum) {
    ResFileAccess access(FindResFile(refNum));
    return access ? access.file()->nextId : 0;
}

uint32_t GetResFileCount(int32_t refNum) {
    ResFileAccess access(FindResFile(refNum));
    return access ? access.file()->count : 0;
}

int AddResource(Handle data, uint32_t attributes, uint32_t type, uint16_t* id, const uint8_t* name) {
    if (!g_current || !data || !IsValidHandle(data) || type == 0 || !id)
        return kFileMissing;
    if (*id == 0) {
        const uint16_t fresh = NextUniqueResId(g_current);
        if (fresh == 0)
            return kFileMissing;
        *id = fresh;
    }
    ResFileAccess access(g_current);
    if (!access)
        return kFileMissing;
    const uint32_t count = access.file()->count;
    if (count >= 0x10000u || !access.GrowEntries(count + 1))
        return kFileMissing;
    access.file()->count = count + 1;
    ResEntry& e = access.entries()[count];
    e = ResEntry{};
    e.type = type;
    e.id = *id;
    CopyName(e.name, name);
    e.attributes = attributes & ~kResDeleted;
    e.dataLength = GetHandleSize(data);
    e.data = data;
    return kFileOk;
}

void RemoveResourceEntry(uint32_t type, uint16_t id) {
    ResFileAccess access(g_current);
    const int i = FindEntry(access.entries(), kLookupById, type, id, nullptr, 0, 0);
    if (i < 0)
        return;
    ResEntry& e = access.entries()[i];
    e.attributes |= kResDeleted;
    DisposeHandleAndClear(&e.data);
}

int ReplaceResourceData(Handle oldData, Handle newData) {
    Handle owner = 0;
    int index = -1;
    if (!newData || !IsValidHandle(newData) || !FindOwner(oldData, &owner, &index))
        return 0;
    ResFileAccess access(owner);
    ResEntry& e = access.entries()[index];
    if (e.data != newData)
        DisposeHandle(e.data);
    e.data = newData;
    e.dataLength = GetHandleSize(newData);
    return 1;
}

void ReleaseResource(Handle data) {
    Handle owner = 0;
    int index = -1;
    if (!FindOwner(data, &owner, &index))
        return;
    const Handle copy = CopyHandle(data);
    ResFileAccess access(owner);
    // Without a copy the entry lets go of the handle and reads its data again on use.
    access.entries()[index].data = copy;
}
