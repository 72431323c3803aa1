// Keeping a stack's resources in order: dropping the ones nothing refers to before a save,
// carrying resources between stacks as held copies (renumbering the references on arrival;
// those are stack/clipboard/HeldResources.cpp's, declared below),
// the LoomLogo workspace resource, and closing the stack's resources.
//
//   ResourceUpkeepPurge.cpp   PurgeUnusedResources and the reference table it works from
//   ResourceUpkeep.cpp        the workspace resource, closing, and the neighbours below
#pragma once

#include <cstdint>
#include <type_traits>
#include <vector>

#include "core/memory/Handles.h"
#include "format/ResFile.h"

// ---- ResourceUpkeepPurge.cpp ----
// Removes every 'Actn', 'Icon', 'Snd ', 'Strk', 'NBAs', 'QTFX' and 'Crsr' resource of the
// stack's resource file that no header, card, object, action or link refers to (in that order
// of types; removals of one type count for the next). Nothing when the header keeps unused
// resources (flag 0x01). A resource other than 'NBAs' named after an 'NBAs' resource, alone or
// followed by '@' and anything, belongs to that extension module and stays.
void PurgeUnusedResources();
// How many purges have run: copies of resources taken before the last purge may name what it
// removed (the clipboard compares it with its own count).
uint32_t ResourcePurgeCount();
// The ids of `type` that the open stack refers to, and whether it keeps every resource of the
// type ('QTFX' with an effect button).
struct ResourceReferences {
    std::vector<uint16_t> ids;
    bool keepAll = false;
    bool Uses(uint16_t id) const;
};
ResourceReferences CollectResourceReferences(uint32_t type);

// ---- HeldResources.cpp ----
// A held copy: the request and the next copy of the chain.
struct HeldResource {
    ResRequest request;
    Handle next;
};
// Runs f on each held copy of the chain, in chain order, with the copy locked, while f (when
// it returns a bool) returns true: false when f stopped the walk or a link of the chain is not
// a held copy, which ends the chain.
template <class F>
bool ForEachHeld(Handle chain, F f) {
    for (Handle h = chain; h && IsValidHandle(h);) {
        Handle next;
        {
            HandleLock lock(h);
            if (!lock || GetHandleSize(h) < sizeof(HeldResource))
                return false;
            auto* held = reinterpret_cast<HeldResource*>(lock.get());
            if constexpr (std::is_void_v<std::invoke_result_t<F&, HeldResource&>>)
                f(*held);
            else if (!f(*held))
                return false;
            next = held->next;
        }
        h = next;
    }
    return true;
}
// The request for a private copy of resource (type, id) of the current file: 0, or -1 when it
// is absent or cannot be copied (the request is then cleared).
int MakeResRequest(ResRequest* request, uint32_t type, uint16_t id);
// Prepends a held copy to the chain (flags are 1 plus extraFlags): 0, or -1, chain unchanged.
int HoldResourceCopy(uint32_t type, uint16_t id, Handle* chain, uint32_t extraFlags);
int HoldObjectResourceCopy(uint32_t type, uint16_t id, Handle* chain, uint32_t extraFlags, uint16_t ownerKind,
                           uint16_t ownerId);
// Stores every held copy that has a type into the stack; the data goes to the resource file.
void StoreHeldResources(Handle chain);
// Stores imported resources: sounds first (old and new ids remembered), then actions under fresh
// ids with their sound chunk remapped, their owner object (or the imported card's action word
// in cardActions, three words, may be null) pointed at the new id, then every other type.
void StoreHeldResourcesRemapped(Handle chain, uint16_t* cardActions = nullptr);
void FreeResourceEntryChain(Handle* chain, bool freeData);
// The remap list of (old id, new id) pairs.
void ResetIdRemap();
void FreeIdRemap();
int AddIdRemap(uint16_t oldId, uint16_t newId);  // 0, or -1 when the list cannot grow
uint16_t RemapId(uint16_t oldId);                // oldId itself when not listed

// ---- ResourceUpkeep.cpp ----
inline constexpr uint16_t kWorkspaceResourceId = 128;
void SetWorkspaceChanged(bool changed);
bool IsWorkspaceChanged();
// Stores the workspace as 'WKSp' 128 when it changed (no error is shown); the flag is cleared.
void SaveWorkspaceResource();
// Hands a copy of 'WKSp' 128 (or the older 'WkSp' 128), or nothing, to the workspace loader.
void RestoreStackWorkspace();
// Tells the stack's extension modules, stores the workspace, closes the stack's resource file;
// then, when there is a window, calls the extension modules' entry.
void CloseStackResources(void* window);
