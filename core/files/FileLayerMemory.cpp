// The memory file system.
#include "core/files/FileLayerMemory.h"

#include <cstdio>
#include <cstring>
#include <map>

namespace {

std::string Key(std::string_view path) {
    std::string key(path);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

struct MemoryFile {
    std::string path;
    std::vector<uint8_t> bytes;
    bool readOnly = false;
    uint64_t writeTime = 0;  // the clock at the last change
};

struct OpenHandle {
    std::string key;
    uint32_t position = 0;
    int mode = kOpenRead;
};

struct MemoryFiles {
    std::map<std::string, MemoryFile> files;
    std::map<FileRef, OpenHandle> handles;
    FileRef nextHandle = 3;
    uint32_t sizeLimit = 0x7FFFFFFF;
    unsigned tempCounter = 0;
    bool failReplace = false;
    uint64_t clock = 1;  // counts every change, standing in for the time of day
};

MemoryFiles& State() {
    static MemoryFiles state;
    return state;
}

OpenHandle* HandleOf(FileRef file) {
    auto it = State().handles.find(file);
    return it == State().handles.end() ? nullptr : &it->second;
}

MemoryFile* FileOf(const OpenHandle& handle) {
    auto it = State().files.find(handle.key);
    return it == State().files.end() ? nullptr : &it->second;
}

FileRef OpenHandleOn(const std::string& key, int mode) {
    MemoryFiles& state = State();
    const FileRef file = state.nextHandle++;
    state.handles[file] = OpenHandle{key, 0, mode};
    return file;
}

FileRef MemOpen(const char* path, int mode) {
    auto it = State().files.find(Key(path));
    if (it == State().files.end() || (mode != kOpenRead && it->second.readOnly))
        return kNoFile;
    return OpenHandleOn(it->first, mode);
}

FileRef MemCreateNew(const char* path) {
    const std::string key = Key(path);
    if (State().files.count(key))
        return kNoFile;
    State().files[key] = MemoryFile{path, {}, false, ++State().clock};
    return OpenHandleOn(key, kOpenReadWrite);
}

bool MemStamp(const char* path, FileStamp* stamp) {
    auto it = State().files.find(Key(path));
    if (it == State().files.end())
        return false;
    *stamp = FileStamp{it->second.bytes.size(), it->second.writeTime};
    return true;
}

int32_t MemRead(FileRef file, void* buffer, uint32_t count) {
    OpenHandle* handle = HandleOf(file);
    MemoryFile* f = handle ? FileOf(*handle) : nullptr;
    if (!f || handle->mode == kOpenWrite)
        return -1;
    const size_t size = f->bytes.size();
    const uint32_t available = handle->position >= size ? 0 : static_cast<uint32_t>(size - handle->position);
    const uint32_t n = count < available ? count : available;
    if (n)
        std::memcpy(buffer, f->bytes.data() + handle->position, n);
    handle->position += n;
    return static_cast<int32_t>(n);
}

int32_t MemWrite(FileRef file, const void* buffer, uint32_t count) {
    OpenHandle* handle = HandleOf(file);
    MemoryFile* f = handle ? FileOf(*handle) : nullptr;
    if (!f || handle->mode == kOpenRead)
        return -1;
    const uint64_t end = uint64_t{handle->position} + count;
    if (end > State().sizeLimit)
        return -1;
    if (end > f->bytes.size())
        f->bytes.resize(static_cast<size_t>(end), 0);
    if (count)
        std::memcpy(f->bytes.data() + handle->position, buffer, count);
    f->writeTime = ++State().clock;
    handle->position = static_cast<uint32_t>(end);
    return static_cast<int32_t>(count);
}

int32_t MemSeek(FileRef file, int32_t offset, int origin) {
    OpenHandle* handle = HandleOf(file);
    MemoryFile* f = handle ? FileOf(*handle) : nullptr;
    if (!f)
        return -1;
    int64_t base = 0;
    if (origin == kSeekCurrent)
        base = handle->position;
    else if (origin == kSeekEnd)
        base = static_cast<int64_t>(f->bytes.size());
    const int64_t position = base + offset;
    if (position < 0 || position > 0x7FFFFFFF)
        return -1;
    handle->position = static_cast<uint32_t>(position);
    return static_cast<int32_t>(position);
}

int MemTruncate(FileRef file, uint32_t position) {
    OpenHandle* handle = HandleOf(file);
    MemoryFile* f = handle ? FileOf(*handle) : nullptr;
    if (!f || handle->mode == kOpenRead)
        return 5;  // access denied
    if (position > State().sizeLimit)
        return 112;  // disk full
    f->bytes.resize(position, 0);
    f->writeTime = ++State().clock;
    return 0;
}

void MemClose(FileRef file) { State().handles.erase(file); }

bool MemExists(const char* path) { return State().files.count(Key(path)) != 0; }

// As the system's: a file that is read-only or held open stays.
void MemRemove(const char* path) {
    auto it = State().files.find(Key(path));
    if (it == State().files.end() || it->second.readOnly)
        return;
    for (const auto& [file, handle] : State().handles)
        if (handle.key == it->first)
            return;
    State().files.erase(it);
}

bool MemMakeTempName(const char* prefix, char* buffer, size_t size) {
    MemoryFiles& state = State();
    std::string name;
    do {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%04X", ++state.tempCounter & 0xFFFF);
        name = std::string("C:\\TEMP\\") + std::string(prefix).substr(0, 3) + digits + ".TMP";
    } while (MemExists(name.c_str()));
    if (name.size() + 1 > size)
        return false;
    state.files[Key(name)] = MemoryFile{name, {}, false};
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

int MemFlush(FileRef file) { return HandleOf(file) ? 0 : 6; }  // invalid handle

int MemReplace(const char* from, const char* to) {
    MemoryFiles& state = State();
    auto source = state.files.find(Key(from));
    if (source == state.files.end())
        return 2;  // file not found
    auto target = state.files.find(Key(to));
    if (target != state.files.end() && target->second.readOnly)
        return 5;  // access denied
    if (state.failReplace)
        return 5;
    MemoryFile moved = std::move(source->second);
    moved.path = to;
    state.files.erase(source);
    state.files[Key(to)] = std::move(moved);
    // A handle still open on the new file goes with it, as the system's does.
    for (auto& [file, handle] : state.handles)
        if (handle.key == Key(from))
            handle.key = Key(to);
    return 0;
}

constexpr FileSystemOps kMemoryOps = {MemOpen,  MemRead,         MemWrite, MemSeek,    MemTruncate,  MemClose,
                                      MemRemove, MemMakeTempName, MemFlush, MemReplace, MemCreateNew, MemStamp};

}  // namespace

const FileSystemOps& MemoryFileSystemOps() { return kMemoryOps; }

void UseMemoryFileSystem() {
    State() = MemoryFiles{};
    SetFileSystem(&kMemoryOps);
}

void PutMemoryFile(std::string_view path, std::span<const uint8_t> bytes) {
    State().files[Key(path)] = MemoryFile{std::string(path), {bytes.begin(), bytes.end()}, false, ++State().clock};
}

bool GetMemoryFile(std::string_view path, std::vector<uint8_t>& bytes) {
    auto it = State().files.find(Key(path));
    if (it == State().files.end())
        return false;
    bytes = it->second.bytes;
    return true;
}

int OpenMemoryFileCount() { return static_cast<int>(State().handles.size()); }

void SetMemoryFileReadOnly(std::string_view path, bool readOnly) {
    auto it = State().files.find(Key(path));
    if (it != State().files.end())
        it->second.readOnly = readOnly;
}

void SetMemoryFileSizeLimit(uint32_t limit) { State().sizeLimit = limit; }

void SetMemoryReplaceFails(bool fails) { State().failReplace = fails; }

std::vector<std::string> MemoryFilePaths() {
    std::vector<std::string> paths;
    for (const auto& [key, file] : State().files)
        paths.push_back(file.path);
    return paths;
}
