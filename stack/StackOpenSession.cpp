// The open stack's state, minimal (see the header).
#include "stack/StackOpenSession.h"

#include <cstring>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "stack/format/ResFile.h"
#include "stack/format/ResFileAccess.h"
#include "stack/format/StackFile.h"

namespace {

Handle g_header = 0;
uint16_t g_currentCardId = 0;
char g_stackName[kFileSpecNameSize] = {};
uint16_t g_homeCardId = 0;
bool g_homeKnown = false;

}  // namespace

Handle GetStackHeaderHandle() { return g_header; }

void SetStackHeaderHandle(Handle header) {
    if (g_header && g_header != header)
        DisposeHandle(g_header);
    g_header = header;
}

bool OpenStackTextIsMacRoman() {
    if (g_header && GetHandleSize(g_header) >= kStackHeaderBytes) {
        HandleLock lock(g_header);
        if (lock && (GetU16(lock.bytes(), kHeaderFlags) & kStackMacRomanText))
            return true;
    }
    if (const Handle file = FindResFile(GetStackResFile())) {
        ResFileAccess access(file);
        if (access)
            return StackTextIsMacRoman(access.file()->conversion);
    }
    return false;
}

// The card list itself is CardList.cpp.

bool IsStackOpen() { return g_header != 0 && CountCards() > 0; }

uint16_t GetCurrentCardId() { return g_currentCardId; }
void SetCurrentCardId(uint16_t id) { g_currentCardId = id; }

uint16_t NewUniqueObjectId() {
    HandleLock lock(g_header);
    if (!lock || GetHandleSize(g_header) < kStackHeaderBytes)
        return 0;
    const std::span<uint8_t> header(lock.get(), kStackHeaderBytes);
    uint16_t id = GetU16(header, kHeaderNextObjectId);
    if (id == 0)
        id = 1;
    SetU16(header, kHeaderNextObjectId, id == 0xFFFF ? 1 : static_cast<uint16_t>(id + 1));
    return id;
}

void ReturnUniqueObjectId(uint16_t id) {
    HandleLock lock(g_header);
    if (id == 0 || !lock || GetHandleSize(g_header) < kStackHeaderBytes)
        return;
    const std::span<uint8_t> header(lock.get(), kStackHeaderBytes);
    if (GetU16(header, kHeaderNextObjectId) == (id == 0xFFFF ? 1 : id + 1))
        SetU16(header, kHeaderNextObjectId, id);
}

const char* GetStackName() { return g_stackName; }
void StoreStackName(const char* name) { CopyPathText(name ? name : "", g_stackName, sizeof g_stackName); }
uint16_t GetHomeCardId() { return g_homeCardId; }
void SetHomeCardId(uint16_t id) { g_homeCardId = id; }
bool IsHomeStackKnown() { return g_homeKnown; }
void SetHomeStackKnown(bool known) { g_homeKnown = known; }
