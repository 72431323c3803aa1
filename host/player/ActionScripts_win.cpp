// Extension-module and LoomLogo actions, and whether the actions after them go on: a module or
// a script may delete or resize the record, or remove the button being performed
// (ActionPerform.h).
#include <vector>

#include "actions/ActionRecord.h"
#include "actions/ButtonCycle.h"
#include "actions/NbaModules.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "host/player/ActionPerform.h"
#include "host/player/ButtonCycleKeys.h"
#include "host/state/MenuOptions.h"
#include "logo/Logo.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// The record is still there at the size it had; while a button is performed, the button still
// exists in it (its offset is taken again, it may have moved). Otherwise the actions stop.
void DecideGoOn(Performance& p, uint32_t sizeBefore) {
    if (!IsValidHandle(p.record) || GetHandleSize(p.record) != sizeBefore) {
        p.stop = true;
        return;
    }
    if (!IsButtonRunning())
        return;
    Handle holder = 0;
    uint32_t offset = 0;
    if (!FindObject(kObjectButton, p.objectId, &holder, &offset) || holder != p.record ||
        (GetHandleWord(holder, offset + kObjectFlags) & kObjectDeletedFlag)) {
        p.stop = true;
        return;
    }
    p.offset = offset;
}

Rect32 ChunkRect(std::span<const uint8_t> chunk) {
    return {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
            GetI16(chunk, kObjectRect + 6)};
}

// The stack's menu bar shown or hidden around a script: toggled only when the frame has no
// menu, or always with always set. The plug-in has no frame window: the bar is the stack's flag.
bool ToggleScriptMenuBar(bool always) {
    if (!always && GetFrameMenu())
        return false;
    ToggleStackMenuBar(GetHandleWord(GetStackHeaderHandle(), kHeaderLocked));
    return true;
}

bool EditAsked(const Performance& p, bool altWithoutLock) {
    return p.origin.ByPerson() && altWithoutLock && !(GetHandleWord(p.record, p.offset + kObjectFlags) & kButtonNoClick);
}

}  // namespace

void RunActionNba(Performance& p) {
    const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagNba);
    if (chunk.empty())
        return;
    const uint32_t sizeBefore = GetHandleSize(p.record);
    const uint16_t nbaId = GetU16(chunk, kChunkValue);
    const std::span<const uint8_t> payload = ChunkPayload(chunk);
    if (nbaId == kButtonCycleNbaId)
        StartButtonCycle(p.window, payload);
    if (const Handle copy = NewHandleFromBytes(payload)) {
        ClearNbaParamBlock();
        NbaParamBlock* block = GetNbaParamBlock();
        block->objectId = p.objectId;
        block->param1 = static_cast<uint32_t>(copy);
        block->param2 = static_cast<uint32_t>(payload.size());
        SendToNBA(nbaId, kNbaMessagePerform);
        DisposeHandle(copy);
        p.marks.nba = 1;
    } else {
        ShowCardAlert(kAlertNotEnoughMemory);
    }
    DecideGoOn(p, sizeBefore);
}

void RunActionLogo(Performance& p) {
    const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagLogo);
    if (chunk.empty())
        return;
    const Handle script = NewHandleFromBytes(ChunkPayload(chunk));
    if (!script) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return;
    }
    Rect32 rect = ChunkRect(chunk);
    const Handle header = GetStackHeaderHandle();
    const bool menuLocked = header && GetHandleWord(header, kHeaderLocked) != 0;
    const bool altWithoutLock = GetKeyState(VK_MENU) < 0 && !menuLocked;
    const int edit = EditAsked(p, altWithoutLock) ? 1 : 0;
    const uint32_t sizeBefore = GetHandleSize(p.record);
    const bool barShown = altWithoutLock && ToggleScriptMenuBar(false);
    const int edited = RunLogoAction(p.window, script, edit, &rect);
    if (barShown)
        ToggleScriptMenuBar(true);
    DecideGoOn(p, sizeBefore);
    // An edit is stored back only into the record that is still there.
    if (edited && !p.stop) {
        ChunkDesc desc;
        InitChunkDesc(&desc, kTagLogo, kChunkFromHandle, static_cast<uintptr_t>(script), 0, kActLogo);
        if (const uint32_t at = InsertObjectChunk(p.record, p.offset, desc)) {
            HandleLock lock(p.record);
            const std::span<uint8_t> stored = lock.bytes().subspan(at, kChunkHeaderBytes);
            SetU16(stored, kObjectRect, static_cast<uint16_t>(rect.left));
            SetU16(stored, kObjectRect + 2, static_cast<uint16_t>(rect.top));
            SetU16(stored, kObjectRect + 4, static_cast<uint16_t>(rect.right));
            SetU16(stored, kObjectRect + 6, static_cast<uint16_t>(rect.bottom));
            MarkCardChanged();
            p.edited = edited;
        }
    }
    DisposeHandle(script);
}
