#include "actions/NbaMenu.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "actions/NbaModules.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"

namespace {

constexpr uint32_t kStringRegistryKey = 4558;
constexpr uint32_t kStringExtras = 4561;
constexpr uint32_t kStringApplications = 4562;
constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

enum class EntryKind : uint32_t { Module = 0, Program = 1 };

struct ExtrasEntry {
    std::string path;                 // the module file; the registry name of a program
    char text[kExtrasEntryText] = {};
    HMODULE module = nullptr;         // while the module stays loaded
    uint16_t command = 0;
    EntryKind kind = EntryKind::Module;
};

bool g_listMade = false;
std::vector<ExtrasEntry> g_entries;

NbaMainProc EntryOf(HMODULE module) {
    return reinterpret_cast<NbaMainProc>(reinterpret_cast<void*>(GetProcAddress(module, "NBAMain")));
}

HMODULE LoadQuietly(const char* path) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryA(path);
    SetErrorMode(previous);
    return module;
}

// The block as every Extras call starts it: cleared, version, message, module, callback.
NbaParamBlock* ExtrasBlock(HMODULE module, uint16_t message) {
    ClearNbaParamBlock();
    NbaParamBlock* block = GetNbaParamBlock();
    block->version = kNbaInterfaceVersion;
    block->message = message;
    block->module = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
    return block;
}

std::string ProgramsKey() {
    return ResText(kStringRegistryKey) + "\\" + ResText(kStringExtras) + "\\" + ResText(kStringApplications);
}

// A module answers the listing message with its menu text, or is left out.
void ListModule(const std::string& folder, const char* fileName, int capacity) {
    const std::string path = folder + fileName;
    const HMODULE module = LoadQuietly(path.c_str());
    if (!module)
        return;
    if (const NbaMainProc entry = EntryOf(module)) {
        ExtrasEntry e;
        NbaParamBlock* block = ExtrasBlock(module, kNbaMessageSetUp);
        block->param1 = kNbaMenuTextBytes;
        block->param2 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(e.text));
        if (entry(block) == 0 && static_cast<int>(g_entries.size()) < capacity) {
            e.text[kExtrasEntryText - 1] = 0;
            e.path = path;
            g_entries.push_back(std::move(e));
        }
    }
    FreeLibrary(module);
}

void ListPrograms(int capacity) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProgramsKey().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    for (DWORD index = 0; static_cast<int>(g_entries.size()) < capacity; ++index) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        ExtrasEntry e;
        e.kind = EntryKind::Program;
        e.path.assign(name, size);
        std::memcpy(e.text, name, std::min<size_t>(size, kExtrasEntryText - 1));
        g_entries.push_back(std::move(e));
    }
    RegCloseKey(key);
}

void MakeList(int slot, const char* pattern, int capacity) {
    if (g_listMade)
        return;
    g_listMade = true;
    capacity = std::clamp(capacity, 0, kNbaMenuCapacity);
    char folder[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof folder, folder);
    std::string base = folder;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    WIN32_FIND_DATAA found;
    // Full paths: the process's current folder is the browser's, not ours to change.
    const HANDLE search = pattern && folder[0] ? FindFirstFileA((base + pattern).c_str(), &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & kSkippedAttributes))
                ListModule(base, found.cFileName, capacity);
        } while (static_cast<int>(g_entries.size()) < capacity && FindNextFileA(search, &found));
        FindClose(search);
    }
    ListPrograms(capacity);
    for (size_t i = 0; i < g_entries.size(); ++i)
        g_entries[i].command = static_cast<uint16_t>(kNbaMenuFirstCommand + i);
}

ExtrasEntry* EntryWithCommand(int commandId) {
    for (ExtrasEntry& e : g_entries)
        if (e.command == commandId)
            return &e;
    return nullptr;
}

}  // namespace

bool BuildNbaMenu(HWND frame, int slot, const char* pattern, HMENU menu, int position, int capacity) {
    MakeList(slot, pattern, capacity);
    HMENU submenu = menu ? GetSubMenu(menu, position) : nullptr;
    if (!submenu || g_entries.empty())
        return false;
    for (const ExtrasEntry& e : g_entries)
        AppendMenuA(submenu, MF_STRING, e.command, e.text);
    if (frame && GetMenu(frame) == menu)
        DrawMenuBar(frame);
    return true;
}

bool AddNbaMenuItems(HMENU bar) {
    if (!bar || GetMenuItemCount(bar) <= kExtrasMenuPosition)
        return false;  // the locked bar has no Extras menu
    return BuildNbaMenu(nullptr, kSlotExtrasFolder, "*.xtr", bar, kExtrasMenuPosition, kNbaMenuCapacity);
}

bool RunNbaCommand(HWND window, int commandId) {
    if (commandId < kNbaMenuFirstCommand || commandId >= kNbaMenuFirstCommand + kNbaMenuCapacity)
        return false;
    MakeList(kSlotExtrasFolder, "*.xtr", kNbaMenuCapacity);
    ExtrasEntry* e = EntryWithCommand(commandId);
    if (!e)
        return false;
    if (e->kind == EntryKind::Program)
        return RunExtrasApplication(e->path.c_str());
    if (!e->module)
        e->module = LoadQuietly(e->path.c_str());
    if (!e->module)
        return false;
    int result = 1;
    if (const NbaMainProc entry = EntryOf(e->module)) {
        NbaParamBlock* block = ExtrasBlock(e->module, kNbaMessagePerform);
        // The plug-in has no frame window: the module gets the card window.
        const HWND card = GetCardWindow();
        block->window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(card ? card : window));
        result = entry(block);
    }
    if (result != 0) {
        FreeLibrary(e->module);
        e->module = nullptr;
    }
    return true;
}

void FreeNbaMenu() {
    for (ExtrasEntry& e : g_entries) {
        if (e.kind != EntryKind::Module || !e.module)
            continue;
        if (const NbaMainProc entry = EntryOf(e.module))
            entry(ExtrasBlock(e.module, kNbaMessageClose));
        FreeLibrary(e.module);
    }
    g_entries.clear();
    g_listMade = false;
}

void FreeNbaMenuIf(int flag) {
    if (flag)
        FreeNbaMenu();
}

bool RunExtrasApplication(const char* name) {
    HKEY key = nullptr;
    const std::string keyName = ProgramsKey() + "\\" + (name ? name : "");
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char path[257] = {}, commandLine[257] = {};
    DWORD size = 256;
    RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size);
    size = 256;
    RegQueryValueExA(key, "CmdLine", nullptr, nullptr, reinterpret_cast<BYTE*>(commandLine), &size);
    RegCloseKey(key);
    std::string folder = path;
    folder.resize(folder.find_last_of('\\') == std::string::npos ? 0 : folder.find_last_of('\\'));
    const HWND card = GetCardWindow();
    const HINSTANCE result = ShellExecuteA(card, nullptr, path, commandLine, folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<intptr_t>(result) > 32;
}

std::string NbaMenuEntryText(int commandId) {
    const ExtrasEntry* e = EntryWithCommand(commandId);
    return e ? e->text : "";
}

bool IsNbaMenuModuleLoaded(int commandId) {
    const ExtrasEntry* e = EntryWithCommand(commandId);
    return e && e->module;
}
