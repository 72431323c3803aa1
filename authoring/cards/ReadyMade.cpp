// The list of ready-made stacks behind the submenu's command ids.
#include <cstring>

#include "authoring/cards/ReadyMade.h"

namespace {

Handle g_list = 0;
int g_count = 0;
bool g_built = false;

}  // namespace

void ClearReadyMadeList() {
    DisposeHandleAndClear(&g_list);
    g_count = 0;
    g_built = true;
}

void FreeReadyMadeList() {
    DisposeHandleAndClear(&g_list);
    g_count = 0;
    g_built = false;
}

bool IsReadyMadeListBuilt() { return g_built; }
int CountReadyMadeEntries() { return g_count; }

bool AddReadyMadeEntry(const std::string& path, uint32_t commandId) {
    if (path.empty() || path.size() >= kReadyMadePathSize || commandId < kFirstReadyMadeStack ||
        commandId > kLastReadyMadeCommand)
        return false;
    ReadyMadeEntry entry{};
    std::memcpy(entry.path, path.data(), path.size());
    entry.commandId = commandId;
    const uint32_t size = static_cast<uint32_t>((g_count + 1) * sizeof entry);
    if (!g_list) {
        g_list = NewHandle(size);
        if (!g_list)
            return false;
    } else if (SetHandleSize(g_list, size) != 0) {
        return false;
    }
    HandleLock lock(g_list);
    if (!lock)
        return false;
    std::memcpy(lock.get() + g_count * sizeof entry, &entry, sizeof entry);
    ++g_count;
    return true;
}

std::string FindReadyMadePath(uint32_t commandId) {
    HandleLock lock(g_list);
    if (!lock)
        return {};
    for (int i = 0; i < g_count; ++i) {
        ReadyMadeEntry entry;
        std::memcpy(&entry, lock.get() + i * sizeof entry, sizeof entry);
        if (entry.commandId == commandId)
            return std::string(entry.path, strnlen(entry.path, sizeof entry.path));
    }
    return {};
}

bool IsReadyMadeStackName(const char* name) {
    const size_t length = name ? std::strlen(name) : 0;
    if (length < 5)
        return false;
    const char* tail = name + length - 4;
    return std::strcmp(tail, ".stk") == 0 || std::strcmp(tail, ".STK") == 0;
}
