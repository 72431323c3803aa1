// Dropping the resources that nothing in the stack refers to.
#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "format/ResFileAccess.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

// A go-to button's transition (+18) from this kind on is a 'QTFX' effect.
constexpr uint16_t kFirstEffectKind = 27;

void Add(ResourceReferences& refs, uint16_t id) {
    if (id != 0)
        refs.ids.push_back(id);
}

// The button tests of one host-order button record.
void ButtonReferences(std::span<const uint8_t> button, uint32_t type, ResourceReferences& refs) {
    if (button.size() < kButtonHeaderBytes || (GetU16(button, kObjectFlags) & kObjectDeletedFlag))
        return;
    const uint16_t flags20 = GetU16(button, kButtonActionFlags);
    if (type == kCrsr)
        Add(refs, GetU16(button, kButtonCursorId));
    else if (type == kIcon && (GetU16(button, kButtonOptions) & kButtonShowIcon))
        Add(refs, GetU16(button, kButtonIconId));
    else if (type == kQtfx && (flags20 & kActGoTo) && GetU16(button, kButtonTransition) >= kFirstEffectKind)
        refs.keepAll = true;
    const bool sound = type == kSnd || type == kStrk;
    if (!sound && type != kNbas)
        return;
    if (sound && !(flags20 & kActSoundResource))
        return;
    if (type == kNbas && !(flags20 & kActNba))
        return;
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    while (walk.Next(chunk)) {
        const std::span<const uint8_t> c = button.subspan(chunk.offset, chunk.length);
        if (c.size() < kChunkHeaderBytes)
            continue;
        if (sound && chunk.kind == kTagSoundResource) {
            const bool stroke = (GetU16(c, kChunkSoundFlags) & kSoundIsStroke) != 0;
            if (stroke == (type == kStrk))
                Add(refs, GetU16(c, kChunkValue));
        } else if (type == kNbas && chunk.kind == kTagNba) {
            Add(refs, GetU16(c, kChunkValue));
        }
    }
}

void ObjectReferences(std::span<const uint8_t> object, uint16_t kind, uint32_t type, ResourceReferences& refs) {
    if (kind == kObjectButton) {
        ButtonReferences(object, type, refs);
    } else if (kind == kObjectGraphic && object.size() >= kGraphicHeaderBytes) {
        if (type == kActn)
            Add(refs, GetU16(object, kGraphicAction));
        else if (type == kCrsr)
            Add(refs, GetU16(object, kGraphicCursor));
    } else if (kind == kObjectText && object.size() >= kTextHeaderBytes) {
        if (type == kActn)
            Add(refs, GetU16(object, kTextAction));
        else if (type == kCrsr)
            Add(refs, GetU16(object, kTextCursor));
    }
}

void CardReferences(Handle card, uint32_t type, ResourceReferences& refs) {
    HandleLock lock(card);
    if (!lock || GetHandleSize(card) < kMinCardRecordBytes)
        return;
    const std::span<const uint8_t> record = lock.bytes();
    if (GetU16(record, kCardFlags) & kCardDeleted)
        return;
    if (type == kActn) {
        for (uint32_t at : {kCardAction1, kCardAction2, kCardAction3})
            Add(refs, GetU16(record, at));
    } else if (type == kCrsr) {
        Add(refs, GetU16(record, kCardCursor));
    }
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place))
        if (!(place.flags & kObjectDeletedFlag))
            ObjectReferences(record.subspan(place.offset, place.length), place.kind, type, refs);
}

// Buttons stored as actions and inside links.
void ResourceButtonReferences(uint32_t type, ResourceReferences& refs) {
    const Handle file = FindResFile(GetStackResFile());
    ResFileAccess access(file);
    if (!access)
        return;
    for (const ResEntry& e : access.entries()) {
        if ((e.attributes & kResDeleted) || e.raw || !IsValidHandle(e.data) || (e.type != kActn && e.type != kHlnk))
            continue;
        HandleLock lock(e.data);
        if (!lock)
            continue;
        const std::span<const uint8_t> data = lock.bytes();
        if (e.type == kActn) {
            ButtonReferences(data, type, refs);
        } else if (data.size() >= kLinkText && GetU16(data, kLinkHasButton) != 0) {
            const size_t at = size_t{kLinkText} + GetU16(data, kLinkOtherLength) + GetU16(data, kLinkTextLength);
            if (at < data.size())
                ButtonReferences(data.subspan(at), type, refs);
        }
    }
}

std::string_view NameText(const uint8_t (&name)[kResNameBytes]) {
    const size_t n = std::min<size_t>(name[0], kResNameBytes - 1);
    return {reinterpret_cast<const char*>(name + 1), n};
}

// Whether a name belongs to one of the extension modules: "<module>" or "<module>@...".
bool BelongsToModule(std::string_view name, const std::vector<std::string>& modules) {
    for (const std::string& module : modules) {
        if (module.empty() || name.substr(0, module.size()) != module)
            continue;
        if (name.size() == module.size() || name[module.size()] == '@')
            return true;
    }
    return false;
}

void PurgeType(uint32_t type) {
    const ResourceReferences refs = CollectResourceReferences(type);
    if (refs.keepAll)
        return;
    std::vector<std::string> modules;
    std::vector<uint16_t> unused;
    {
        ResFileAccess access(FindResFile(GetStackResFile()));
        if (!access)
            return;
        if (type != kNbas)
            for (const ResEntry& e : access.entries())
                if (e.type == kNbas && !(e.attributes & kResDeleted))
                    modules.emplace_back(NameText(e.name));
        for (const ResEntry& e : access.entries()) {
            if (e.type != type || (e.attributes & kResDeleted) || refs.Uses(e.id))
                continue;
            if (type != kNbas && BelongsToModule(NameText(e.name), modules))
                continue;
            unused.push_back(e.id);
        }
    }
    for (uint16_t id : unused)
        RemoveResourceEntry(type, id);
}

}  // namespace

bool ResourceReferences::Uses(uint16_t id) const {
    return keepAll || std::find(ids.begin(), ids.end(), id) != ids.end();
}

ResourceReferences CollectResourceReferences(uint32_t type) {
    ResourceReferences refs;
    if (const Handle header = GetStackHeaderHandle()) {
        HandleLock lock(header);
        if (lock && GetHandleSize(header) >= kStackHeaderBytes) {
            const std::span<const uint8_t> h(lock.get(), kStackHeaderBytes);
            if (type == kActn)
                for (uint32_t at : {kHeaderStackActionA, kHeaderClosingAction, kHeaderStackActionB})
                    Add(refs, GetU16(h, at));
            else if (type == kCrsr)
                Add(refs, GetU16(h, kHeaderCursorId));
        }
    }
    for (int i = 1; i <= CountCards(); ++i)
        CardReferences(GetCardByIndex(i), type, refs);
    ResourceButtonReferences(type, refs);
    return refs;
}

namespace {
uint32_t g_purgeCount = 0;
}  // namespace

uint32_t ResourcePurgeCount() { return g_purgeCount; }

void PurgeUnusedResources() {
    if (!FindResFile(GetStackResFile()))
        return;
    if (const Handle header = GetStackHeaderHandle()) {
        HandleLock lock(header);
        if (lock && GetHandleSize(header) >= kStackHeaderBytes &&
            (GetU16({lock.get(), kStackHeaderBytes}, kHeaderFlags) & kStackKeepResources))
            return;
    }
    StackResFileCurrent current;
    ++g_purgeCount;
    for (uint32_t type : {kActn, kIcon, kSnd, kStrk, kNbas, kQtfx, kCrsr})
        PurgeType(type);
}
