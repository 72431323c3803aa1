// Which stack file the plug-in saved last. The plug-in writes files through the kernel's
// _lopen/_lcreat/_lwrite (a new file made with CreateFileA) and puts a finished save in place
// with MoveFileExA, the new file still open (past the ANSI calls' length, CreateFileW and
// MoveFileExW with the long-path prefix); its imports of those functions are pointed here, so
// every file it writes is seen, whatever folder it lies in (a web stack's copy in the download
// cache, a local stack, a Save As target). A file counts as a saved stack when something was
// written to it, or a written file was moved onto it, and its extension is one the plug-in
// serves; opening a stack for writing only to test that it can be written is no save.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <set>

#include "TestBrowser.h"

namespace {

using LopenProc = HFILE(WINAPI*)(LPCSTR, int);
using LcreatProc = HFILE(WINAPI*)(LPCSTR, int);
using LwriteProc = UINT(WINAPI*)(HFILE, LPCCH, UINT);
using HwriteProc = LONG(WINAPI*)(HFILE, LPCCH, LONG);
using LcloseProc = HFILE(WINAPI*)(HFILE);
using MoveFileExProc = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
using CreateFileProc = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using MoveFileExWProc = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, DWORD);
using CreateFileWProc = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);

struct Saves {
    LopenProc lopen = nullptr;
    LcreatProc lcreat = nullptr;
    LwriteProc lwrite = nullptr;
    HwriteProc hwrite = nullptr;
    LcloseProc lclose = nullptr;
    MoveFileExProc moveFileEx = nullptr;
    CreateFileProc createFile = nullptr;
    MoveFileExWProc moveFileExW = nullptr;
    CreateFileWProc createFileW = nullptr;
    std::vector<std::string> extensions;  // lower case, without the dot
    std::map<HFILE, std::string> open;    // files open for writing, by their path
    std::set<HFILE> writtenHandles;
    std::set<std::string> written;        // lower-case paths written this run
    std::string last;
} g_saves;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FullPath(LPCSTR path) {
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n && n < MAX_PATH ? std::string(full, n) : std::string(path);
}

// A wide path as the ANSI calls name it, without the long-path prefix.
std::string Narrow(LPCWSTR path) {
    std::wstring wide(path);
    if (wide.rfind(L"\\\\?\\UNC\\", 0) == 0)
        wide = L"\\\\" + wide.substr(8);
    else if (wide.rfind(L"\\\\?\\", 0) == 0)
        wide = wide.substr(4);
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? size_t(n) : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow.data(), n, nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

bool IsStackFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    const std::string ext = Lower(path.substr(dot + 1));
    return std::find(g_saves.extensions.begin(), g_saves.extensions.end(), ext) != g_saves.extensions.end();
}

void Saved(const std::string& path, const char* how) {
    if (!IsStackFile(path))
        return;
    g_saves.last = path;
    Logf("saved(%s) %s", path.c_str(), how);
}

HFILE WINAPI WatchedLopen(LPCSTR path, int mode) {
    const HFILE file = g_saves.lopen(path, mode);
    if (file != HFILE_ERROR && path && (mode & 3) != OF_READ)
        g_saves.open[file] = FullPath(path);
    return file;
}

HFILE WINAPI WatchedLcreat(LPCSTR path, int attributes) {
    const HFILE file = g_saves.lcreat(path, attributes);
    if (file != HFILE_ERROR && path)
        g_saves.open[file] = FullPath(path);
    return file;
}

HANDLE WINAPI WatchedCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                DWORD disposition, DWORD flags, HANDLE model) {
    const HANDLE file = g_saves.createFile(path, access, share, security, disposition, flags, model);
    if (file != INVALID_HANDLE_VALUE && path && (access & GENERIC_WRITE))
        g_saves.open[static_cast<HFILE>(reinterpret_cast<intptr_t>(file))] = FullPath(path);
    return file;
}

HANDLE WINAPI WatchedCreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
    const HANDLE file = g_saves.createFileW(path, access, share, security, disposition, flags, model);
    if (file != INVALID_HANDLE_VALUE && path && (access & GENERIC_WRITE))
        g_saves.open[static_cast<HFILE>(reinterpret_cast<intptr_t>(file))] = FullPath(Narrow(path).c_str());
    return file;
}

void Wrote(HFILE file) {
    if (g_saves.open.count(file))
        g_saves.writtenHandles.insert(file);
}

UINT WINAPI WatchedLwrite(HFILE file, LPCCH buffer, UINT count) {
    const UINT n = g_saves.lwrite(file, buffer, count);
    if (n != static_cast<UINT>(HFILE_ERROR) && count)
        Wrote(file);
    return n;
}

LONG WINAPI WatchedHwrite(HFILE file, LPCCH buffer, LONG count) {
    const LONG n = g_saves.hwrite(file, buffer, count);
    if (n != HFILE_ERROR && count)
        Wrote(file);
    return n;
}

HFILE WINAPI WatchedLclose(HFILE file) {
    const auto it = g_saves.open.find(file);
    if (it != g_saves.open.end()) {
        if (g_saves.writtenHandles.erase(file)) {
            g_saves.written.insert(Lower(it->second));
            Saved(it->second, "written");
        }
        g_saves.open.erase(it);
    }
    return g_saves.lclose(file);
}

// A move of a file written (closed or still open) onto a stack file counts as its save.
void Moved(const std::string& from, const std::string& to) {
    const std::string source = Lower(from);
    bool written = g_saves.written.count(source) != 0;
    // A file written and moved while still open: counted here, not again when it closes.
    for (auto& [file, path] : g_saves.open)
        if (Lower(path) == source && g_saves.writtenHandles.erase(file)) {
            written = true;
            path = to;
        }
    if (written) {
        g_saves.written.insert(Lower(to));
        Saved(to, ("moved from " + from).c_str());
    }
}

BOOL WINAPI WatchedMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    const BOOL ok = g_saves.moveFileEx(from, to, flags);
    if (ok && from && to)
        Moved(FullPath(from), FullPath(to));
    return ok;
}

BOOL WINAPI WatchedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const BOOL ok = g_saves.moveFileExW(from, to, flags);
    if (ok && from && to)
        Moved(FullPath(Narrow(from).c_str()), FullPath(Narrow(to).c_str()));
    return ok;
}

// Points the module's import of `name` at `replacement`; the function it imported, or null.
void* PatchImport(HMODULE module, const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (!d->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0)
                continue;
            void* original = reinterpret_cast<void*>(slots->u1.Function);
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection))
                return nullptr;
            slots->u1.Function = reinterpret_cast<uintptr_t>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return original;
        }
    }
    return nullptr;
}

template <typename Proc>
void Watch(HMODULE module, const char* name, Proc replacement, Proc& original) {
    if (void* found = PatchImport(module, name, reinterpret_cast<void*>(replacement)))
        original = reinterpret_cast<Proc>(found);
}

}  // namespace

void WatchPluginSaves(void* module, const std::vector<std::string>& stackExtensions) {
    g_saves.extensions.clear();
    for (const std::string& list : stackExtensions)
        for (const std::string& ext : SplitList(list, ','))
            if (!ext.empty())
                g_saves.extensions.push_back(Lower(ext));
    g_saves.open.clear();
    g_saves.writtenHandles.clear();
    g_saves.written.clear();
    auto* plugin = static_cast<HMODULE>(module);
    if (!plugin)
        return;
    Watch(plugin, "_lopen", &WatchedLopen, g_saves.lopen);
    Watch(plugin, "_lcreat", &WatchedLcreat, g_saves.lcreat);
    Watch(plugin, "_lwrite", &WatchedLwrite, g_saves.lwrite);
    Watch(plugin, "_hwrite", &WatchedHwrite, g_saves.hwrite);
    Watch(plugin, "_lclose", &WatchedLclose, g_saves.lclose);
    Watch(plugin, "MoveFileExA", &WatchedMoveFileEx, g_saves.moveFileEx);
    Watch(plugin, "CreateFileA", &WatchedCreateFile, g_saves.createFile);
    Watch(plugin, "MoveFileExW", &WatchedMoveFileExW, g_saves.moveFileExW);
    Watch(plugin, "CreateFileW", &WatchedCreateFileW, g_saves.createFileW);
}

std::string LastSavedStack() { return g_saves.last; }

bool CopyLastSavedStack(const std::string& to) {
    if (g_saves.last.empty()) {
        Logf("save-copy(%s) -> failed: the plug-in saved no stack", to.c_str());
        return false;
    }
    if (lstrcmpiA(g_saves.last.c_str(), to.c_str()) == 0) {
        Logf("save-copy(%s) -> ok: saved there", to.c_str());
        return true;
    }
    if (!CopyFileA(g_saves.last.c_str(), to.c_str(), FALSE)) {
        Logf("save-copy(%s) -> failed: error %lu copying %s", to.c_str(), static_cast<unsigned long>(GetLastError()),
             g_saves.last.c_str());
        return false;
    }
    Logf("save-copy(%s) -> ok: from %s", to.c_str(), g_saves.last.c_str());
    return true;
}
