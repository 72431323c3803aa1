// Where the media library is: the registry value, the folder beside the program, or a shortcut.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/files/FileSlots.h"
#include "core/ui/AlertText.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "media/library/MediaLibPaths.h"
#include "media/library/MediaLibServices.h"

namespace {

constexpr uint32_t kRegistryKey = 4558;
constexpr uint32_t kRegistryValue = 4209;
constexpr uint32_t kNoFolderAlert = 4556;
constexpr uint32_t kHowToMakeIt = 4559;  // where the folder goes (%s) and what it holds

bool IsLibraryFolder(const std::string& path) {
    const std::string last = LastPathComponent(path);
    return !last.empty() && HasSubfolder(last.c_str(), ParentPath(path).c_str());
}

bool Deliver(const std::string& path, char* out, size_t size) {
    if (path.size() + 1 > size || path.size() > kMediaLibMaxPath)
        return false;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return true;
}

std::string ProgramFolder() {
    char folder[MAX_PATH + 1] = {};
    GetFileSpecFolder(kSlotProgram, folder, sizeof folder);
    std::string path = folder;
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

}  // namespace

bool HasSubfolder(const char* name, const char* folder) {
    if (!name || !*name || !folder)
        return false;
    const std::string pattern = std::string(folder) + "\\*.*";
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    bool has = false;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && lstrcmpiA(found.cFileName, name) == 0)
            has = true;
    } while (!has && FindNextFileA(find, &found));
    FindClose(find);
    return has;
}

bool ReadMediaFolderValue(char* buffer, int size) {
    if (!buffer || size <= 0)
        return false;
    std::memset(buffer, 0, static_cast<size_t>(size));
    const std::string key = ResText(kRegistryKey), value = ResText(kRegistryValue);
    if (key.empty() || value.empty())
        return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, bytes = static_cast<DWORD>(size - 1);
    const LONG result = RegQueryValueExA(opened, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(opened);
    buffer[size - 1] = 0;
    return result == ERROR_SUCCESS && type == REG_SZ && buffer[0];
}

bool WriteMediaFolderValue(const char* path) {
    if (!path)
        return false;
    const std::string root = ResText(kLibraryRootName);
    const char* from = root.empty() ? nullptr : std::strstr(path, root.c_str());
    if (!from)
        return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ResText(kRegistryKey).c_str(), 0, KEY_READ | KEY_SET_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(opened, ResText(kRegistryValue).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(from), static_cast<DWORD>(std::strlen(from) + 1));
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

bool FindMediaLibFolder(char* out, size_t size) {
    if (!out || !size)
        return false;
    out[0] = 0;
    const std::string program = ProgramFolder();
    const std::string root = ResText(kLibraryRootName);
    if (program.empty() || root.empty())
        return false;
    // The value is relative to the program folder.
    std::string value(MAX_PATH, '\0');
    const int room = static_cast<int>(size) - static_cast<int>(program.size());
    if (room > 1 && ReadMediaFolderValue(value.data(), std::min(room, MAX_PATH))) {
        const std::string joined = program + "\\" + value.c_str();
        if (IsLibraryFolder(joined) && Deliver(joined, out, size))
            return true;
    }
    if (HasSubfolder(root.c_str(), program.c_str()) && Deliver(program + "\\" + root, out, size))
        return true;
    WIN32_FIND_DATAA found{};
    HANDLE find = FindFirstFileA((program + "\\*.lnk").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        bool done = false;
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY))
                continue;
            char target[MAX_PATH + 1] = {};
            const std::string link = program + "\\" + found.cFileName;
            if (!ResolveShortcutChain(link.c_str(), target, sizeof target))
                continue;
            const std::string path = target;
            done = lstrcmpiA(LastPathComponent(path).c_str(), root.c_str()) == 0 && IsLibraryFolder(path) &&
                   Deliver(path, out, size);
        } while (!done && FindNextFileA(find, &found));
        FindClose(find);
        if (done)
            return true;
    }
    out[0] = 0;
    ExplainMissingMediaLib();
    return false;
}

void ExplainMissingMediaLib() {
    AlertText sorry;
    if (!ParseAlertText(ResText(kNoFolderAlert), &sorry)) {
        ShowAlert(kNoFolderAlert);
        return;
    }
    const std::string where = ProgramFolder() + "\\" + ResText(kLibraryRootName);
    std::string how = ResText(kHowToMakeIt);
    if (const size_t at = how.find("%s"); at != std::string::npos)
        how.replace(at, 2, where);
    // The tall class of box: the path and the steps take several lines.
    ShowAlertText(nullptr, ("91" + sorry.message + "\n\n" + how + "~^OK").c_str());
}
