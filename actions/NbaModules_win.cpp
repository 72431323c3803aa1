#include "actions/NbaModules.h"

#include <algorithm>
#include <vector>

#include "actions/ButtonCycle.h"
#include "actions/NbaInfo.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/ToolNumbers.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

struct CacheEntry {
    uint16_t nbaId;
    HMODULE module;
};

// A call in progress: the data its module's 'NBAs' value lives in.
struct CallRecord {
    Handle data;
    uint16_t nbaId;
    uint16_t flags;
};

NbaParamBlock g_block = {};
bool g_callInProgress = false;
CacheEntry g_cache[kNbaCacheEntries] = {};
std::vector<CallRecord> g_calls;  // newest last
HWND g_chooser = nullptr;
NbaTimerGate g_timerGate;

// Requests before the host installed its entry do nothing.
void NBA_CDECL NoHostCallback(NbaParamBlock*) {}
NbaHostCallback g_hostCallback = NoHostCallback;

// A missing or broken file shows no system box.
HMODULE LoadModuleQuietly(const char* path) {
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const HMODULE module = LoadLibraryA(path);
    SetErrorMode(previous);
    return module;
}

// Where the persistent value of the id lives: the data of its call in progress, else its
// 'NBAs' resource or named module.
Handle PersistentHome(uint16_t nbaId) {
    for (auto it = g_calls.rbegin(); it != g_calls.rend(); ++it)
        if (it->nbaId == nbaId)
            return it->data;
    return GetNbaResource(kNbas, nbaId);
}

// The module's answer; 0 without "NBAMain".
int CallEntry(HMODULE module) {
    const auto entry = reinterpret_cast<NbaMainProc>(reinterpret_cast<void*>(GetProcAddress(module, "NBAMain")));
    if (!entry)
        return 0;
    const bool outer = g_callInProgress;
    g_callInProgress = true;
    const int result = entry(&g_block);
    g_callInProgress = outer;
    return result;
}

// The ids of the stack's 'NBAs' resources whose data is there.
std::vector<uint16_t> StackNbaIds() {
    std::vector<uint16_t> ids;
    if (!GetStackResFile())
        return ids;
    StackResFileCurrent current;
    const int count = CountResources(kNbas);
    for (int i = 1; i <= count; ++i) {
        const uint16_t id = GetIndResourceId(kNbas, i);
        if (IsValidHandle(GetResource(kNbas, id)))
            ids.push_back(id);
    }
    return ids;
}

std::vector<uint16_t> NamedIds() {
    static std::vector<uint16_t>* g_collect = nullptr;
    std::vector<uint16_t> ids;
    g_collect = &ids;
    ForEachNamedNbaModule([](uint16_t id) { g_collect->push_back(id); });
    g_collect = nullptr;
    return ids;
}

// Sends message 11 to the modules of the ids until one consumes it.
bool OfferWindowMessage(const std::vector<uint16_t>& ids, HWND window, UINT message, uint16_t wParam, LPARAM lParam) {
    for (const uint16_t id : ids) {
        ClearNbaParamBlock();
        g_block.param1 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
        g_block.param2 = message;
        g_block.param3 = wParam;
        g_block.param4 = static_cast<uint32_t>(lParam);
        SendToNBA(id, kNbaMessageWindow);
        if (g_block.handled)
            return true;
    }
    return false;
}

bool PassesToModules(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: case WM_CHAR: case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP:
        return true;
    case WM_TIMER:
        return g_timerGate.Pass(GetMilliseconds());
    case WM_COMMAND:
        return lParam == 0;
    default:
        return false;
    }
}

}  // namespace

NbaParamBlock* GetNbaParamBlock() { return &g_block; }

NbaHostCallback GetHostCallback() { return g_hostCallback; }

void SetHostCallback(NbaHostCallback callback) { g_hostCallback = callback ? callback : NoHostCallback; }

void ClearNbaParamBlock() {
    g_block = NbaParamBlock{};
    g_block.callback = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetHostCallback()));
}

void SetNbaChooserWindow(HWND window) { g_chooser = window; }
HWND GetNbaChooserWindow() { return g_chooser; }

int RunNBAModule(int slot, int message, uint16_t nbaId, bool clearFirst) {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof path, path);
    if (!path[0] || !FileExists(path))
        return 0;
    const bool ownLoad = message == 1 || message == kNbaMessageSetUp;
    bool cached = false;
    const HMODULE module = ownLoad ? LoadModuleQuietly(path) : FindCachedNBAModule(slot, nbaId, &cached);
    if (!module)
        return 0;
    if (clearFirst)
        ClearNbaParamBlock();
    g_block.cardId = GetCurrentCardId();
    g_block.card = static_cast<uint32_t>(GetCurrentCardRecord());
    g_block.callback = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetHostCallback()));
    g_block.version = kNbaInterfaceVersion;
    g_block.message = static_cast<uint16_t>(message);
    g_block.module = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(module));
    g_block.nbaId = nbaId;
    g_block.window = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetCardWindow()));
    g_block.setupWindow = 0;
    const bool keepsValue = message != kNbaMessageSetUp;
    if (keepsValue) {
        if (const Handle home = PersistentHome(nbaId); GetHandleSize(home) >= kNbaInfoMinBytes) {
            const std::vector<uint8_t> bytes = HandleToBytes(home);
            g_block.persistent = GetU32(bytes, kNbaInfoPersistent);
        }
    } else {
        g_block.setupWindow = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(g_chooser));
    }
    const int result = CallEntry(module);
    if (keepsValue) {
        if (const Handle home = PersistentHome(nbaId); GetHandleSize(home) >= kNbaInfoMinBytes) {
            if (uint8_t* p = LockHandle(home)) {
                SetU32(std::span<uint8_t>(p, kNbaInfoMinBytes), kNbaInfoPersistent, g_block.persistent);
                UnlockHandle(home);
            }
        }
    }
    if (ownLoad || !cached)
        FreeLibrary(module);
    return result;
}

void CallNBAByResource(uint32_t type, uint16_t nbaId, int message, bool clearFirst) {
    if (g_chooser && message != kNbaMessageSetUp && message != kNbaMessageChooserOpens)
        return;
    const Handle data = GetNbaResource(type, nbaId);
    if (!data)
        return;
    const std::optional<std::string> name = NbaFileNameOf(HandleToBytes(data));
    if (!name)
        return;  // short, unterminated or unsafe: no call
    const bool isNbas = type == kNbas;
    if (isNbas && !PushNBACall(data, nbaId))
        return;
    if (PutNbaFileInSlot(name->c_str()))
        RunNBAModule(kSlotNbaFolder, message, nbaId, clearFirst);
    if (isNbas)
        PopNBACall(nbaId);
}

void SendToNBA(uint16_t nbaId, int message, bool clearFirst) { CallNBAByResource(kNbas, nbaId, message, clearFirst); }

void NotifyStackNBAs(int eventCode) {
    if (eventCode == kNbaEventLeaveCard)
        EndButtonCycle();
    if (g_chooser && eventCode != kNbaMessageSetUp && eventCode != kNbaMessageChooserOpens)
        return;
    if (g_callInProgress)
        return;
    ClearNbaParamBlock();
    for (const uint16_t id : StackNbaIds()) {
        StackResFileCurrent current;
        SendToNBA(id, eventCode);
    }
}

int ForwardMessageToNBAs(HWND window, UINT message, uint16_t wParam, LPARAM lParam) {
    if (!IsBrowseMode() || !PassesToModules(message, lParam))
        return 0;
    if (g_chooser || g_callInProgress)
        return 0;
    if (OfferWindowMessage(StackNbaIds(), window, message, wParam, lParam))
        return 1;
    return OfferWindowMessage(NamedIds(), window, message, wParam, lParam) ? 1 : 0;
}

bool PollNBAsForWait() {
    if (g_callInProgress || g_chooser)
        return false;
    std::vector<uint16_t> ids = StackNbaIds();
    const std::vector<uint16_t> named = NamedIds();
    ids.insert(ids.end(), named.begin(), named.end());
    for (const uint16_t id : ids) {
        ClearNbaParamBlock();
        SendToNBA(id, kNbaMessageWaitPoll);
        if (g_block.param1 == kNbaKeepWaiting)
            return true;
    }
    return false;
}

void EndStackNBAs(bool final) {
    if (final) {
        DisposeNamedNbaModules();
    } else {
        // The resource file goes away under the calls still running: their data becomes theirs.
        for (CallRecord& call : g_calls) {
            if (!(call.flags & kNbaCallDisposeData)) {
                ReleaseResource(call.data);
                call.flags |= kNbaCallDisposeData;
            }
        }
    }
    for (const uint16_t id : StackNbaIds()) {
        if (!final && IsNBACallActive(id))
            continue;
        StackResFileCurrent current;
        ClearNbaParamBlock();
        SendToNBA(id, kNbaMessageClose);
    }
    FreeCachedNBAModules(1);
}

HMODULE FindCachedNBAModule(int slot, uint16_t nbaId, bool* cached) {
    if (cached)
        *cached = false;
    if (nbaId) {
        for (const CacheEntry& entry : g_cache)
            if (entry.nbaId == nbaId && entry.module) {
                if (cached)
                    *cached = true;
                return entry.module;
            }
    }
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof path, path);
    const HMODULE module = LoadModuleQuietly(path);
    if (!module || !nbaId)
        return module;  // id 0 marks a free entry: such a module is not kept
    for (CacheEntry& entry : g_cache) {
        if (entry.nbaId == 0) {
            entry = {nbaId, module};
            if (cached)
                *cached = true;
            break;
        }
    }
    return module;
}

void FreeCachedNBAModules(int unload) {
    for (CacheEntry& entry : g_cache) {
        if (unload && entry.module && !IsNBACallActive(entry.nbaId))
            FreeLibrary(entry.module);
        entry = {};
    }
}

int CachedNBAModuleCount() {
    return static_cast<int>(std::count_if(std::begin(g_cache), std::end(g_cache),
                                          [](const CacheEntry& e) { return e.nbaId != 0; }));
}

bool PushNBACall(Handle data, uint16_t nbaId) {
    g_calls.push_back({data, nbaId, 0});
    return true;
}

void PopNBACall(uint16_t nbaId) {
    for (auto it = g_calls.rbegin(); it != g_calls.rend(); ++it) {
        if (it->nbaId != nbaId)
            continue;
        if (it->flags & kNbaCallDisposeData)
            DisposeHandle(it->data);
        g_calls.erase(std::next(it).base());
        return;
    }
}

bool IsNBACallActive(uint16_t nbaId) {
    return std::any_of(g_calls.begin(), g_calls.end(), [&](const CallRecord& c) { return c.nbaId == nbaId; });
}

bool IsAnyNBACallActive() { return g_callInProgress; }
