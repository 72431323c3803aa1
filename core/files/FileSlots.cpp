// The file-spec table, its slot operations and the packed form of a slot.
#include "core/files/FileSlots.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"

namespace {

Handle g_tableHandle = 0;
FileSpec* g_table = nullptr;

// Folder slots beside the program module, from the string table.
struct FolderSlot {
    int slot;
    int stringId;
};
constexpr FolderSlot kFolderSlots[] = {
    {kSlotMediaFolder4, 2650}, {kSlotMediaFolder2, 2651}, {kSlotMediaFolder14, 2652},
    {kSlotNbaFolder, 2653},    {kSlotExtrasFolder, 2656}, {kSlotMediaFolder18, 2657},
};

size_t BoundedLength(const char* text, size_t limit) {
    size_t n = 0;
    while (n < limit && text[n])
        ++n;
    return n;
}

std::string_view FieldText(const char* field, size_t size) { return {field, BoundedLength(field, size)}; }

size_t LastBackslash(std::string_view text) { return text.rfind('\\'); }

void ClearSlot(FileSpec& spec) {
    std::memset(&spec, 0, sizeof spec);
    spec.volume = -1;
}

}  // namespace

void CopyPathText(std::string_view text, char* buffer, size_t size) {
    if (!buffer || size == 0)
        return;
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n)
        std::memmove(buffer, text.data(), n);
    buffer[n] = 0;
}

std::string_view PathOf(const FileSpec& spec) { return FieldText(spec.path, sizeof spec.path); }
std::string_view NameOf(const FileSpec& spec) { return FieldText(spec.name, sizeof spec.name); }

bool InitFolderTableAt(const char* modulePath, FolderStringLoader loadString) {
    Handle table = NewHandle(kFileSpecCount * sizeof(FileSpec));
    if (!table)
        return false;
    if (!LockHandle(table)) {
        DisposeHandle(table);
        return false;
    }
    SetFileSpecTableHandle(table);
    // Every slot starts as the module path (at most 256 characters).
    const std::string_view module(modulePath ? modulePath : "", modulePath ? BoundedLength(modulePath, 256) : 0);
    for (int slot = 0; slot < kFileSpecCount; ++slot) {
        FileSpec& spec = *GetFileSpec(slot);
        ClearSlot(spec);
        CopyPathText(module, spec.path, sizeof spec.path);
    }
    for (const FolderSlot& folder : kFolderSlots) {
        char text[kFileSpecPathSize] = {};
        if (loadString)
            loadString(folder.stringId, text, sizeof text);
        FileSpec& spec = *GetFileSpec(folder.slot);
        SetPathFileName(text, spec.path, sizeof spec.path);
    }
    return true;
}

void SetFileSpecTableHandle(Handle table) {
    if (g_tableHandle && g_tableHandle != table) {
        UnlockHandle(g_tableHandle);
        DisposeHandle(g_tableHandle);
    }
    g_tableHandle = table;
    // The table stays locked for the whole run, so this pointer holds until it is replaced.
    g_table = nullptr;
    if (table) {
        uint8_t* data = LockHandle(table);
        if (data && GetHandleSize(table) >= kFileSpecCount * sizeof(FileSpec))
            g_table = reinterpret_cast<FileSpec*>(data);
        if (data)
            UnlockHandle(table);  // the lock taken by the table's maker stays
    }
}

Handle GetFileSpecTableHandle() { return g_tableHandle; }

void FreeFolderTable() {
    if (g_tableHandle) {
        UnlockHandle(g_tableHandle);
        DisposeHandle(g_tableHandle);
    }
    g_tableHandle = 0;
    g_table = nullptr;
}

FileSpec* GetFileSpec(int slot) {
    if (!g_table || slot < 0 || slot >= kFileSpecCount)
        return nullptr;
    return &g_table[slot];
}

void CopyFileSpec(int16_t source, int16_t destination) {
    const FileSpec* from = GetFileSpec(source);
    FileSpec* to = GetFileSpec(destination);
    if (from && to && from != to)
        std::memcpy(to, from, sizeof *to);
}

void PutFileSpec(int slot, const FileSpec& spec) {
    if (FileSpec* to = GetFileSpec(slot))
        *to = spec;
}

void GetFileSpecPath(int slot, int size, char* buffer) {
    if (!buffer)
        return;
    const size_t bounded = (size <= 0 || size > static_cast<int>(kFileSpecPathSize)) ? kFileSpecPathSize
                                                                                     : static_cast<size_t>(size);
    std::memset(buffer, 0, bounded);
    if (const FileSpec* spec = GetFileSpec(slot))
        CopyPathText(FieldText(spec->path, sizeof spec->path), buffer, bounded);
}

bool SetFileSpecFromPath(int slot, const char* path) { return SetFileSpecPath(GetFileSpec(slot), path); }

bool SetFileSpecPath(FileSpec* spec, const char* path) {
    if (!spec || !path)
        return false;
    std::string_view text(path, BoundedLength(path, 4096));
    // A cut path would name another file: a path the slot cannot hold whole leaves it empty.
    const bool fits = text.size() < sizeof spec->path;
    if (!fits)
        text = {};
    CopyPathText(text, spec->path, sizeof spec->path);
    const std::string_view stored = FieldText(spec->path, sizeof spec->path);
    const size_t cut = LastBackslash(stored);
    CopyPathText(cut == std::string_view::npos ? stored : stored.substr(cut + 1), spec->name, sizeof spec->name);
    return fits;
}

FileSpec EmptyFileSpec() {
    FileSpec spec;
    ClearSlot(spec);
    return spec;
}

void GetFileSpecFolder(int slot, char* buffer, size_t size) {
    CopyPathText({}, buffer, size);
    if (const FileSpec* spec = GetFileSpec(slot))
        GetSpecFolder(*spec, buffer, size);
}

void GetSpecFolder(const FileSpec& spec, char* buffer, size_t size) {
    const std::string_view path = FieldText(spec.path, sizeof spec.path);
    const size_t cut = LastBackslash(path);
    CopyPathText(cut == std::string_view::npos ? path : path.substr(0, cut), buffer, size);
}

bool SameFileSpecPath(int a, int b) {
    const FileSpec* sa = GetFileSpec(a);
    const FileSpec* sb = GetFileSpec(b);
    return sa && sb && SameSpecPath(*sa, *sb);
}

bool SameSpecPath(const FileSpec& a, const FileSpec& b) {
    const std::string_view pa = PathOf(a);
    const std::string_view pb = PathOf(b);
    if (pa.size() != pb.size())
        return false;
    for (size_t i = 0; i < pa.size(); ++i) {
        char x = pa[i], y = pb[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool SetPathFileName(const char* name, char* path, size_t size) {
    if (!path || size == 0)
        return false;
    const std::string_view current(path, BoundedLength(path, size));
    const size_t cut = LastBackslash(current);
    std::string folder(cut == std::string_view::npos ? current : current.substr(0, cut));
    folder += '\\';
    if (name)
        folder.append(name, BoundedLength(name, 4096));
    // Never cut: a cut path names another file.
    const bool fits = folder.size() < size;
    CopyPathText(fits ? std::string_view(folder) : std::string_view(), path, size);
    return fits;
}

void GetPathFileName(const char* path, char* buffer, size_t size) {
    CopyPathText({}, buffer, size);
    if (!path)
        return;
    const std::string_view text(path, BoundedLength(path, 4096));
    const size_t cut = LastBackslash(text);
    CopyPathText(cut == std::string_view::npos ? text : text.substr(cut + 1), buffer, size);
}

int PackFileSpec(int slot, Handle* out) {
    if (!out)
        return 0;
    *out = 0;
    const FileSpec* spec = GetFileSpec(slot);
    return spec ? PackFileSpecOf(*spec, out) : 0;
}

int PackFileSpecOf(const FileSpec& spec, Handle* out) {
    if (!out)
        return 0;
    *out = 0;
    const std::string_view path = FieldText(spec.path, sizeof spec.path);
    const std::string_view name = FieldText(spec.name, sizeof spec.name);
    std::vector<uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.Bytes({reinterpret_cast<const uint8_t*>(path.data()), path.size()});
    writer.U8(0);
    if (path.size() % 2 == 0)
        writer.U8(0);  // the numbers that follow start at an even offset
    writer.U16LE(static_cast<uint16_t>(spec.volume));
    writer.U32LE(spec.folder);
    writer.Bytes({reinterpret_cast<const uint8_t*>(name.data()), name.size()});
    writer.U8(0);
    *out = NewHandleFromBytes(bytes);
    return *out ? 1 : 0;
}

int PackFilePath(const char* path, Handle* out) {
    FileSpec spec = EmptyFileSpec();
    SetFileSpecPath(&spec, path);
    return PackFileSpecOf(spec, out);
}

int PackFileSpecPathAndName(const FileSpec& spec, Handle* out) {
    FileSpec plain = EmptyFileSpec();
    CopyPathText(PathOf(spec), plain.path, sizeof plain.path);
    CopyPathText(NameOf(spec), plain.name, sizeof plain.name);
    return PackFileSpecOf(plain, out);
}

void UnpackFileSpec(int slot, std::span<const uint8_t> packed) {
    if (FileSpec* spec = GetFileSpec(slot))
        UnpackFileSpecTo(spec, packed);
}

void UnpackFileSpecTo(FileSpec* spec, std::span<const uint8_t> packed) {
    const auto* text = reinterpret_cast<const char*>(packed.data());
    const size_t pathLength = BoundedLength(text, packed.size());
    // A path the slot cannot hold whole is not cut into another file's name: the record names none.
    if (pathLength >= sizeof spec->path) {
        spec->path[0] = 0;
        spec->name[0] = 0;
        return;
    }
    CopyPathText({text, pathLength}, spec->path, sizeof spec->path);
    // Path, its NUL, the pad byte for an even length, then 2 + 4 bytes of numbers.
    const size_t nameOffset = pathLength + 1 + (pathLength % 2 == 0 ? 1 : 0) + 6;
    if (nameOffset >= packed.size()) {
        spec->name[0] = 0;
        return;
    }
    const size_t nameLength = BoundedLength(text + nameOffset, packed.size() - nameOffset);
    CopyPathText({text + nameOffset, nameLength}, spec->name, sizeof spec->name);
}

void UnpackFileSpec(int slot, Handle packed) {
    HandleLock lock(packed);
    if (!lock)
        return;
    UnpackFileSpec(slot, lock.bytes());
}
