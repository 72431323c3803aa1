// The launcher of a stand-alone stack. The package is this program followed by records (a
// 64-byte NUL-terminated name, a 32-bit little-endian length, the bytes) and a 44-byte trailer:
//   +0 offset of the player record, +4 offset of the library record, +8 zero,
//   +12/+16, +20/+24, +28/+32 count and start of the stacks, data files and modules (starts
//   counted from the first data byte of the player record), +36 "_STACK_" and a NUL.
// It writes the records into a new temporary folder, runs the player on the first stack with
// its own arguments after it, waits, and removes the folder.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kTrailerBytes = 44, kHeaderBytes = 68, kNameBytes = 64;
constexpr char kMark[8] = {'_', 'S', 'T', 'A', 'C', 'K', '_', 0};

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

struct Package {
    HANDLE file = INVALID_HANDLE_VALUE;
    uint64_t size = 0;
    ~Package() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    bool ReadAt(uint64_t offset, void* out, uint32_t count) const {
        if (offset > size || count > size - offset)
            return false;
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, out, count, &got, nullptr) &&
               got == count;
    }
};

// The folder, and what was put into it, removed in reverse order when the player is done.
struct TempFolder {
    std::string path;
    std::vector<std::string> made;  // files and folders, in the order made
    ~TempFolder() {
        for (auto it = made.rbegin(); it != made.rend(); ++it)
            if (!DeleteFileA(it->c_str()))
                RemoveDirectoryA(it->c_str());
        if (!path.empty())
            RemoveDirectoryA(path.c_str());
    }
};

bool MakeTempFolder(TempFolder& folder) {
    char temp[MAX_PATH] = {}, name[MAX_PATH] = {};
    if (!GetTempPathA(sizeof temp, temp))
        return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        // A unique name: the system makes an empty file of it, which the folder then replaces.
        if (!GetTempFileNameA(temp, "PLG", 0, name))
            return false;
        DeleteFileA(name);
        if (CreateDirectoryA(name, nullptr)) {
            folder.path = name;
            return true;
        }
    }
    return false;
}

// A plain file name: no folders, no device or parent names sneaking in.
bool SafeName(const char* name) {
    const size_t n = std::strlen(name);
    if (n == 0 || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::strchr("\\/:*?\"<>|", name[i]) || static_cast<unsigned char>(name[i]) < 32)
            return false;
    return true;
}

// Copies `length` bytes at `offset` of the package into a new file; false on any failure.
bool WriteOut(const Package& package, uint64_t offset, uint32_t length, const std::string& path, TempFolder& folder) {
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    folder.made.push_back(path);
    std::vector<char> buffer(1 << 16);
    bool ok = true;
    while (ok && length > 0) {
        const uint32_t piece = length < buffer.size() ? length : static_cast<uint32_t>(buffer.size());
        DWORD put = 0;
        ok = package.ReadAt(offset, buffer.data(), piece) && WriteFile(out, buffer.data(), piece, &put, nullptr) &&
             put == piece;
        offset += piece;
        length -= piece;
    }
    return CloseHandle(out) && ok;
}

// The record at `offset`: its name and length, the length checked against the package.
bool RecordAt(const Package& package, uint64_t offset, char* name, uint32_t* length) {
    uint8_t header[kHeaderBytes];
    if (!package.ReadAt(offset, header, kHeaderBytes))
        return false;
    std::memcpy(name, header, kNameBytes);
    name[kNameBytes - 1] = 0;
    *length = Le32(header + kNameBytes);
    return offset + kHeaderBytes + *length <= package.size;
}

int Fail(const char* text) {
    MessageBoxA(nullptr, text, "Pageloom", MB_OK | MB_ICONSTOP);
    return 1;
}

// This program's own arguments, as typed after its name.
std::string OwnArguments() {
    const char* line = GetCommandLineA();
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line)
        if (*line == '"')
            quoted = !quoted;
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

int Run() {
    char self[MAX_PATH] = {};
    const DWORD selfLength = GetModuleFileNameA(nullptr, self, sizeof self);
    if (selfLength == 0 || selfLength >= sizeof self)
        return Fail("This stand-alone stack cannot read itself.");
    Package package;
    package.file = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    if (package.file == INVALID_HANDLE_VALUE || !GetFileSizeEx(package.file, &size) || size.QuadPart < kTrailerBytes)
        return Fail("This stand-alone stack cannot read itself.");
    package.size = static_cast<uint64_t>(size.QuadPart);
    uint8_t t[kTrailerBytes];
    if (!package.ReadAt(package.size - kTrailerBytes, t, kTrailerBytes) || std::memcmp(t + 36, kMark, 8) != 0)
        return Fail("This program holds no stack.");
    TempFolder folder;
    if (!MakeTempFolder(folder))
        return Fail("There is no room for the stack in the temporary folder.");
    char name[kNameBytes];
    uint32_t length = 0;
    // The library, then the player: its own bytes end where the first group starts.
    if (!RecordAt(package, Le32(t + 4), name, &length) || !SafeName(name) ||
        !WriteOut(package, Le32(t + 4) + kHeaderBytes, length, folder.path + "\\" + name, folder))
        return Fail("This stand-alone stack is damaged.");
    const uint64_t playerData = uint64_t{Le32(t)} + kHeaderBytes;
    char playerName[kNameBytes];
    if (!RecordAt(package, Le32(t), playerName, &length) || !SafeName(playerName) || Le32(t + 16) > length ||
        !WriteOut(package, playerData, Le32(t + 16), folder.path + "\\" + playerName, folder))
        return Fail("This stand-alone stack is damaged.");
    std::string firstStack;
    for (int group = 0; group < 3; ++group) {
        const uint32_t count = Le32(t + 12 + 8 * group);
        uint64_t at = playerData + Le32(t + 16 + 8 * group);
        std::string into = folder.path + "\\";
        if (group == 2 && count > 0) {
            into += "NBAS\\";
            if (!CreateDirectoryA(into.c_str(), nullptr))
                return Fail("There is no room for the stack in the temporary folder.");
            folder.made.push_back(into);
        }
        for (uint32_t i = 0; i < count; ++i) {
            if (!RecordAt(package, at, name, &length) || !SafeName(name) ||
                !WriteOut(package, at + kHeaderBytes, length, into + name, folder))
                return Fail("This stand-alone stack is damaged.");
            if (group == 0 && firstStack.empty())
                firstStack = into + name;
            at += kHeaderBytes + length;
        }
    }
    if (firstStack.empty())
        return Fail("This program holds no stack.");
    std::string command = "\"" + folder.path + "\\" + playerName + "\" \"" + firstStack + "\"";
    const std::string more = OwnArguments();
    if (!more.empty())
        command += " " + more;
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    std::vector<char> line(command.begin(), command.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.path.c_str(), &start,
                        &process))
        return Fail("The stack player could not be started.");
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return Run(); }
