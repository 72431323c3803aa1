// Module information: read from a module file, kept as the stack's 'NBAs' resources or, for
// modules a stack uses without one, in the named modules list.
#include "actions/NbaModules.h"

#include <string>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/NbaInfo.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/PrefsFile.h"
#include "core/memory/ByteReader.h"
#include "core/ui/Resources.h"
#include "core/ui/UiOps.h"
#include "format/ResFile.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

constexpr uint32_t kModuleNameStringBase = 50000;
constexpr char kNbaFolder[] = "NBAS\\";

struct NamedModule {
    Handle info;
    uint16_t nbaId;
};
std::vector<NamedModule> g_named;  // newest first

std::string ModuleString(HMODULE module, UINT id, int room) {
    std::vector<char> buffer(static_cast<size_t>(room) + 1, 0);
    const int n = LoadStringA(module, id, buffer.data(), room + 1);
    return std::string(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

std::span<const uint8_t> ModuleResource(HMODULE module, const char* name, const char* type) {
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}

uint16_t ModuleShort(HMODULE module, const char* name) {
    const std::span<const uint8_t> data = ModuleResource(module, name, "LMShort");
    return data.size() >= 2 ? GetU16(data, 0) : 0;
}

// The module file of an id: string 50000 + id, else the "NBAIDs" preference of it.
std::string ModuleNameForId(uint16_t nbaId) {
    char buffer[kNbaInfoFileNameBytes] = {};
    if (LoadResString(kModuleNameStringBase + nbaId, buffer, sizeof buffer) > 0)
        return buffer;
    ReadPrefString("NBAIDs", std::to_string(nbaId).c_str(), buffer, sizeof buffer);
    buffer[sizeof buffer - 1] = 0;
    return buffer;
}

// The information of the module that serves the id, from its file in "NBAS"; 0 when none.
Handle InfoForId(uint16_t nbaId) {
    const std::string name = ModuleNameForId(nbaId);
    if (!PutNbaFileInSlot(name.c_str()))
        return 0;
    return LoadNbaInfo(true);
}

// An 'NBAs' resource of the module's own id, named by its short name, holding the information.
ResRequest NbasRequestFor(Handle info) {
    const std::vector<uint8_t> bytes = HandleToBytes(info);
    ResRequest request{};
    request.type = kNbas;
    request.id = GetU16(bytes, kNbaInfoId);
    request.data = info;
    request.flags = kResRequestCarryOut;
    const std::string shortName = NbaShortNameOf(bytes);
    request.name[0] = static_cast<uint8_t>(shortName.size());
    std::copy(shortName.begin(), shortName.end(), request.name + 1);
    return request;
}

}  // namespace

bool PutNbaFileInSlot(const char* name) {
    if (!name || !IsSafeNbaFileName(name))
        return false;
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotProgram, folder, sizeof folder);
    std::string path = folder;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += kNbaFolder;
    path += name;
    if (path.size() >= kFileSpecPathSize)
        return false;
    SetFileSpecFromPath(kSlotNbaFolder, path.c_str());
    return true;
}

Handle LoadNbaInfo(bool quiet) {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotNbaFolder, sizeof path, path);
    if (!path[0] || !FileExists(path))
        return 0;
    // Only resources are read: the module's code does not run.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    SetErrorMode(previous);
    if (!module) {
        if (!quiet)
            ShowCardAlert(kAlertNoNbas);
        return 0;
    }
    NbaModuleFacts facts;
    facts.fileName = ModuleString(module, kNbaStringFileName, kNbaInfoFileNameBytes - 1);
    facts.shortName = ModuleString(module, kNbaStringShortName, kNbaInfoShortNameBytes - 1);
    facts.aboutText = AboutTextOfResource(ModuleResource(module, "ABOUT_STR", "TEXT"));
    facts.aboutFlags = ModuleShort(module, "AboutFlags");
    facts.nbaId = ModuleShort(module, "NBAID");
    FreeLibrary(module);
    return NewHandleFromBytes(MakeNbaInfoRecord(facts));
}

Handle FindNamedNbaModule(uint16_t nbaId) {
    for (const NamedModule& m : g_named)
        if (m.nbaId == nbaId)
            return m.info;
    return 0;
}

void ForEachNamedNbaModule(void (*visit)(uint16_t nbaId)) {
    const std::vector<NamedModule> named = g_named;  // a call may add to the list
    for (const NamedModule& m : named)
        visit(m.nbaId);
}

void DisposeNamedNbaModules() {
    for (NamedModule& m : g_named)
        DisposeHandle(m.info);
    g_named.clear();
}

Handle GetNbaResource(uint32_t type, uint16_t nbaId) {
    if (const Handle own = GetResource(type, nbaId); IsValidHandle(own))
        return own;
    if (const Handle named = FindNamedNbaModule(nbaId))
        return named;
    const Handle info = InfoForId(nbaId);
    if (!info)
        return 0;
    g_named.insert(g_named.begin(), {info, nbaId});
    return info;
}

int MakeNbaResourceRequest() {
    const Handle info = LoadNbaInfo();
    if (!info)
        return 0;
    SetPendingNbaRequest(NbasRequestFor(info));
    return 1;
}

void AddMissingNbaResources() {
    if (!GetStackResFile())
        return;
    StackResFileCurrent current;
    for (const uint16_t id : CollectResourceReferences(kNbas).ids) {
        if (IsValidHandle(GetResource(kNbas, id)))
            continue;
        const Handle info = InfoForId(id);
        if (!info)
            continue;
        ResRequest request = NbasRequestFor(info);
        SetResourceErrorReporting(false);
        if (!WriteStackResource(&request))
            DisposeHandle(info);
        SetResourceErrorReporting(true);
    }
}
