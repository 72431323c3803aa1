// The once-per-run list of alerts, kept in a handle as the other process-wide records are.
#include "core/ui/AlertsOnce.h"

#include <cstring>

#include "core/memory/Handles.h"

namespace {

constexpr uint32_t kListBytes = kAlertSuppressionCapacity * sizeof(uint32_t);

Handle g_suppressionList = 0;
int g_suppressionCount = 0;

uint32_t ReadId(const uint8_t* data, int index) {
    uint32_t id;
    std::memcpy(&id, data + static_cast<size_t>(index) * sizeof id, sizeof id);
    return id;
}

}  // namespace

bool EnsureAlertSuppressionList() {
    // Checked by size too: a handle table made anew (tests) may have given the number away.
    if (!g_suppressionList || !IsValidHandle(g_suppressionList) || GetHandleSize(g_suppressionList) != kListBytes) {
        g_suppressionList = NewHandle(kListBytes);
        g_suppressionCount = 0;
    }
    return g_suppressionList != 0;
}

bool AlertAlreadyShown(uint32_t stringId) {
    if (!g_suppressionList)
        return true;
    HandleLock lock(g_suppressionList);
    if (!lock)
        return true;
    for (int i = 0; i < g_suppressionCount; ++i) {
        if (ReadId(lock.get(), i) == stringId)
            return true;
    }
    if (g_suppressionCount < kAlertSuppressionCapacity) {
        std::memcpy(lock.get() + static_cast<size_t>(g_suppressionCount) * sizeof stringId, &stringId,
                    sizeof stringId);
        ++g_suppressionCount;
    }
    return false;
}

int AlertSuppressionCount() { return g_suppressionCount; }

void FreeAlertSuppressionList() {
    DisposeHandleAndClear(&g_suppressionList);
    g_suppressionCount = 0;
}
