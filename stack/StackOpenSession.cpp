// The open stack's state, minimal (see the header).
#include "stack/StackOpenSession.h"

#include <cstring>

#include "core/events/CardLeaveGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "format/ResFile.h"
#include "format/ResFileAccess.h"
#include "core/text/MacText.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"

namespace {

// The header and the session it began; a new header is a new stack.
struct OpenHeader {
    Handle handle = 0;
    uint32_t session = 0;
};
OpenHeader g_header;
uint16_t g_currentCardId = 0;
char g_stackName[kFileSpecNameSize] = {};
struct HomeStack {
    uint16_t card = 0;
    bool known = false;
};
HomeStack g_home;

}  // namespace

Handle GetStackHeaderHandle() { return g_header.handle; }

void SetStackHeaderHandle(Handle header) {
    if (g_header.handle == header)
        return;
    if (g_header.handle)
        DisposeHandle(g_header.handle);
    g_header.handle = header;
    ++g_header.session;
    SetGuardPlace(g_header.session, g_currentCardId);  // what was held for the stack before is dropped
}

StackIdentity CurrentStackIdentity() {
    StackIdentity identity{};
    identity.session = g_header.session;
    if (StackHasFile())
        GetFileSpecPath(kSlotCurrentStack, sizeof identity.path, identity.path);
    return identity;
}

bool SameStack(const StackIdentity& a, const StackIdentity& b) {
    if (a.session == b.session)
        return true;
    return a.path[0] && b.path[0] && StrCmpNoCase(a.path, b.path) == 0;
}

bool OpenStackTextIsMacRoman() {
    if (g_header.handle && GetHandleSize(g_header.handle) >= kStackHeaderBytes) {
        HandleLock lock(g_header.handle);
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

bool IsStackOpen() { return g_header.handle != 0 && CountCards() > 0; }

uint16_t GetCurrentCardId() { return g_currentCardId; }
void SetCurrentCardId(uint16_t id) {
    g_currentCardId = id;
    SetGuardPlace(g_header.session, id);
}

uint16_t NewUniqueObjectId() {
    HandleLock lock(g_header.handle);
    if (!lock || GetHandleSize(g_header.handle) < kStackHeaderBytes)
        return 0;
    const std::span<uint8_t> header(lock.get(), kStackHeaderBytes);
    uint16_t id = GetU16(header, kHeaderNextObjectId);
    if (id == 0)
        id = 1;
    SetU16(header, kHeaderNextObjectId, id == 0xFFFF ? 1 : static_cast<uint16_t>(id + 1));
    return id;
}

void ReturnUniqueObjectId(uint16_t id) {
    HandleLock lock(g_header.handle);
    if (id == 0 || !lock || GetHandleSize(g_header.handle) < kStackHeaderBytes)
        return;
    const std::span<uint8_t> header(lock.get(), kStackHeaderBytes);
    if (GetU16(header, kHeaderNextObjectId) == (id == 0xFFFF ? 1 : id + 1))
        SetU16(header, kHeaderNextObjectId, id);
}

const char* GetStackName() { return g_stackName; }
void StoreStackName(const char* name) { CopyPathText(name ? name : "", g_stackName, sizeof g_stackName); }
uint16_t GetHomeCardId() { return g_home.card; }
void SetHomeCardId(uint16_t id) { g_home.card = id; }
bool IsHomeStackKnown() { return g_home.known; }
void SetHomeStackKnown(bool known) { g_home.known = known; }
