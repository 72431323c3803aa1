// Requests about the open stack, its files and preferences: 7, 11 to 13, 18, 61, 64, 70, 72, 75,
// 81, 82, 91, 124, 125, 127 and 163.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "host/player/CardHistory.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestArgs.h"
#include "host/requests/RequestHandlers.h"
#include "host/state/Preferences.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr uint32_t kInterfaceVersion = 5;
constexpr uint32_t kFileSpecVolumeField = 298;  // the field request 13 hands out
constexpr size_t kPrefText = 255;
constexpr int kPrefBuffer = 256;

NameBuffer g_stackName{};
NameBuffer g_stackPath{};

void StorePName(std::string_view text, NameBuffer* out) {
    out->fill(0);
    const size_t n = std::min<size_t>(text.size(), 255);
    (*out)[0] = static_cast<uint8_t>(n);
    std::memcpy(out->data() + 1, text.data(), n);
}

bool StackHasFile() {
    const FileSpec* spec = GetFileSpec(kSlotCurrentStack);
    return IsStackOpen() && spec && spec->path[0];
}

uint16_t HeaderWord(uint32_t offset) { return GetHandleWord(GetStackHeaderHandle(), offset); }

}  // namespace

void CbGetStackPaths(NbaParamBlock& b) {
    b.param1 = b.param2 = 0;
    if (!IsStackOpen())
        return;
    StorePName(GetStackName() ? GetStackName() : "", &g_stackName);
    const FileSpec* spec = GetFileSpec(kSlotCurrentStack);
    StorePName(spec ? PathOf(*spec) : std::string_view{}, &g_stackPath);
    b.param1 = BlockValue(g_stackName.data());
    b.param2 = BlockValue(g_stackPath.data());
}

void CbIsStackLocked(NbaParamBlock& b) { b.param1 = HeaderWord(kHeaderLocked) != 0 ? 1 : 0; }

void CbGetVersion(NbaParamBlock& b) {
    b.param1 = kInterfaceVersion;
    b.param2 = 0;
}

void CbGetStackFileFields(NbaParamBlock& b) {
    b.param1 = b.param2 = 0;
    FileSpec* spec = GetFileSpec(kSlotCurrentStack);
    if (!spec || !IsStackOpen())
        return;
    b.param1 = BlockValue(reinterpret_cast<uint8_t*>(spec) + kFileSpecVolumeField);
    b.param2 = BlockValue(spec->path);
}

void CbGetStackHandles(NbaParamBlock& b) {
    b.param1 = static_cast<uint32_t>(GetStackHeaderHandle());
    b.param2 = static_cast<uint32_t>(GetCardListHandle());
}

void CbGetFileSpecTable(NbaParamBlock& b) { b.param1 = BlockValue(GetFileSpec(0)); }

void CbMarkCardChanged(NbaParamBlock&) { MarkCardChanged(); }
void CbMarkStackChanged(NbaParamBlock&) { MarkStackChanged(); }

void CbStackDirty(NbaParamBlock& b) {
    b.param1 = IsStackChanged() ? 1 : 0;
    b.param2 = BlockValue(StackChangedFlagAddress());
    b.param3 = BlockValue(CardChangedFlagAddress());
}

void CbGetScreenSettings(NbaParamBlock& b) {
    b.param1 = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(HeaderWord(kHeaderPresentationMode))));
    b.param2 = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(HeaderWord(kHeaderPresentation50))));
}

void CbGetFileSpecPath(NbaParamBlock& b) {
    const FileSpec* entry = CallerPointer<const FileSpec>(b.param1);
    auto* out = CallerPointer<uint32_t>(b.param2);
    if (!entry || !out)
        return;
    FileSpec spec = *entry;
    spec.path[kFileSpecPathSize - 1] = 0;
    spec.name[kFileSpecNameSize - 1] = 0;
    Handle packed = 0;
    *out = PackFileSpecOf(spec, &packed) ? static_cast<uint32_t>(GiveToModule(packed)) : 0;
}

void CbSetFileSpecPath(NbaParamBlock& b) {
    const Handle packed = static_cast<Handle>(b.param1);
    auto* out = CallerPointer<FileSpec>(b.param2);
    if (!out || packed == 0 || !IsValidHandle(packed))
        return;
    // Path and name from the packed form; the rest as a cleared slot has it.
    FileSpec spec = EmptyFileSpec();
    HandleLock lock(packed);
    if (lock)
        UnpackFileSpecTo(&spec, lock.bytes());
    *out = spec;
}

void CbMarkCard(NbaParamBlock& b) {
    b.param2 = 3;
    if (!ResolveObjectRef(b))
        return;
    const Handle card = static_cast<Handle>(b.param3);
    if (!(GetHandleWord(card, kCardFlags) & kCardMarked))
        return;
    SetRecentCardId(GetCardId(card));
    if (StackHasFile()) {
        CopyFileSpec(kSlotCurrentStack, kSlotPreviousStack);
    } else if (FileSpec* slot = GetFileSpec(kSlotPreviousStack)) {
        std::memset(slot->path, 0, sizeof slot->path);
        std::memset(slot->name, 0, sizeof slot->name);
        slot->flag = 0;
    }
}

void CbReadPref(NbaParamBlock& b) {
    std::string section, key;
    char* buffer = CallerPointer<char>(b.param3);
    if (!buffer || !ReadCallerCString(b.param1, kPrefText, &section) || !ReadCallerCString(b.param2, kPrefText, &key))
        return;
    ReadPrefString(section.c_str(), key.c_str(), buffer, kPrefBuffer);
}

void CbWritePref(NbaParamBlock& b) {
    std::string section, key, value;
    if (!ReadCallerCString(b.param1, kPrefText, &section) || !ReadCallerCString(b.param2, kPrefText, &key) ||
        !ReadCallerCString(b.param3, kPrefText, &value))
        return;
    WritePrefString(section.c_str(), key.c_str(), value.c_str());
}

void CbWriteStackResource(NbaParamBlock& b) {
    if (ResRequest* request = CallerPointer<ResRequest>(b.param1))
        WriteStackResource(request);
}

void CbIsMacRomanText(NbaParamBlock& b) { b.param1 = OpenStackTextIsMacRoman() ? 1 : 0; }
