// The open stack's state, minimal (see the header).
#include "stack/StackOpenSession.h"

#include <cstring>

#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "format/ResFile.h"
#include "format/ResFileAccess.h"
#include "core/text/MacText.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"

namespace {

// The files the latest sessions were saved to: an edit begun in a stack before its first save (or
// before a Save As elsewhere) still knows its stack once that file is read again.
struct SavedSession {
    uint32_t session = 0;
    char path[kFileSpecPathSize] = {};
};
constexpr size_t kSavedSessions = 8;

// The header and the session it began (a new header is a new stack), and where sessions were saved.
struct OpenHeader {
    Handle handle = 0;
    uint32_t session = 0;
    SavedSession saved[kSavedSessions];
    size_t nextSaved = 0;
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

namespace {

const char* SavedPathOf(uint32_t session) {
    for (const SavedSession& saved : g_header.saved)
        if (saved.session == session && saved.path[0])
            return saved.path;
    return "";
}

bool SamePath(const char* a, const char* b) { return a[0] && b[0] && StrCmpNoCase(a, b) == 0; }

}  // namespace

void NoteStackSavedToItsFile() {
    const uint32_t session = g_header.session;
    SavedSession* slot = nullptr;
    for (SavedSession& saved : g_header.saved)
        if (saved.session == session)
            slot = &saved;
    if (!slot) {
        slot = &g_header.saved[g_header.nextSaved];
        g_header.nextSaved = (g_header.nextSaved + 1) % kSavedSessions;
    }
    slot->session = session;
    GetFileSpecPath(kSlotCurrentStack, sizeof slot->path, slot->path);
}

bool SameStack(const StackIdentity& a, const StackIdentity& b) {
    if (a.session == b.session)
        return true;
    const char* savedA = SavedPathOf(a.session);
    const char* savedB = SavedPathOf(b.session);
    return SamePath(a.path, b.path) || SamePath(savedA, b.path) || SamePath(a.path, savedB) ||
           SamePath(savedA, savedB);
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
