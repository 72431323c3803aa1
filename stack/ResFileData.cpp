// Resource data between file order and memory, by type, for the stack whose resources are read
// or written: its conversion settings (Mac Roman texts, screen resolution, drive) are set by
// whoever opens or saves it.
#include <cstring>

#include "stack/ResFileAccess.h"
#include "stack/ResFileData.h"

namespace {

StackConversion g_conversion;

}  // namespace

void SetResourceConversion(const StackConversion& cv) { g_conversion = cv; }
StackConversion& ResourceConversion() { return g_conversion; }

bool ConvertResourceFromFile(uint32_t type, Handle* data) {
    if (!data || !*data)
        return false;
    const char* reason = nullptr;
    return SwapResourceData(type, *data, ByteOrder::ToHost, g_conversion, &reason) == kStackOk;
}

bool ResourceToFileBytes(uint32_t type, Handle data, std::vector<uint8_t>& out) {
    out.clear();
    {
        HandleLock lock(data);
        if (!lock)
            return false;
        out.assign(lock.get(), lock.get() + GetHandleSize(data));
    }
    const char* reason = nullptr;
    return SwapResourceDataBytes(type, out, ByteOrder::ToFile, g_conversion, &reason) == kStackOk;
}
