// Shell shortcuts: following them (a chain at most 16 links long) and making them.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>

#include "media/library/MediaLibServices.h"

namespace {

// A cycle of links would otherwise be followed for ever.
constexpr int kMaxLinks = 16;

template <class T>
struct ComRelease {
    T* p = nullptr;
    ~ComRelease() { if (p) p->Release(); }
};

bool IsShortcutPath(const char* path) {
    const char* dot = std::strrchr(path, '.');
    return dot && lstrcmpiA(dot, ".lnk") == 0;
}

}  // namespace

bool ResolveShortcut(const char* path, char* out, size_t size) {
    if (!path || !out || size == 0)
        return false;
    out[0] = 0;
    ComRelease<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p))))
        return false;
    ComRelease<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return false;
    wchar_t wide[MAX_PATH + 1] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return false;
    if (FAILED(file.p->Load(wide, STGM_READ)))
        return false;
    char target[MAX_PATH + 1] = {};
    WIN32_FIND_DATAA found{};
    if (FAILED(link.p->GetPath(target, MAX_PATH, &found, 0)) || !target[0])
        return false;
    if (std::strlen(target) + 1 > size)
        return false;
    std::memcpy(out, target, std::strlen(target) + 1);
    return true;
}

bool ResolveShortcutChain(const char* path, char* out, size_t size) {
    if (!path || !out || size == 0)
        return false;
    std::string current = path;
    for (int links = 0; links < kMaxLinks; ++links) {
        if (!ResolveShortcut(current.c_str(), out, size))
            return false;
        if (!IsShortcutPath(out))
            return true;
        current = out;
    }
    out[0] = 0;
    return false;
}

bool CreateShortcut(HWND window, int specialFolder, const char* targetPath, const char* description) {
    if (!targetPath || !*targetPath)
        return false;
    LPITEMIDLIST list = nullptr;
    char folder[MAX_PATH + 1] = {};
    if (FAILED(SHGetSpecialFolderLocation(window, specialFolder, &list)) || !list)
        return false;
    const bool got = SHGetPathFromIDListA(list, folder);
    CoTaskMemFree(list);
    if (!got)
        return false;
    const char* slash = std::strrchr(targetPath, '\\');
    std::string name = slash ? slash + 1 : targetPath;
    if (const size_t dot = name.rfind('.'); dot != std::string::npos)
        name.erase(dot);
    const std::string linkPath = std::string(folder) + "\\" + name + ".LNK";
    ComRelease<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p))))
        return false;
    link.p->SetPath(targetPath);
    ComRelease<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return false;
    wchar_t wide[MAX_PATH * 2] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH * 2))
        return false;
    if (FAILED(file.p->Save(wide, TRUE)))
        return false;
    link.p->SetDescription(description ? description : "");
    return true;
}

int ClassifyDroppedPath(const char* path, std::string* resolved) {
    if (!path || !*path)
        return kMediaNone;
    if (resolved)
        *resolved = path;
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return kMediaNone;
    int code = MediaCodeForFile(path);
    if (code != kMediaShortcut)
        return code;
    char target[MAX_PATH + 1] = {};
    if (!ResolveShortcutChain(path, target, sizeof target))
        return kMediaNone;
    const DWORD targetAttributes = GetFileAttributesA(target);
    if (targetAttributes == INVALID_FILE_ATTRIBUTES || (targetAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return kMediaNone;
    code = MediaCodeForFile(target);
    if (code == kMediaShortcut)
        return kMediaNone;
    if (resolved)
        *resolved = target;
    return code;
}

int ClassifyDroppedFile(Handle path) {
    if (!path)
        return kMediaNone;
    HandleLock lock(path);
    const auto* text = reinterpret_cast<const char*>(lock.get());
    if (!text)
        return kMediaNone;
    const size_t length = strnlen(text, GetHandleSize(path));
    return ClassifyDroppedPath(std::string(text, length).c_str());
}

bool IsMediaLibShortcut(Handle path) {
    if (!path)
        return false;
    HandleLock lock(path);
    const auto* text = reinterpret_cast<const char*>(lock.get());
    return text && MediaCodeForFile(std::string(text, strnlen(text, GetHandleSize(path))).c_str()) == kMediaShortcut;
}
