// 'Icon' resources, the icon selection, and storing a chosen icon or cursor in the stack.
#include <cstring>

#include "core/ui/CursorImages.h"
#include "objects/buttons/ButtonIcons.h"
#include "format/ResFile.h"

namespace {

IconSelection g_selection = {};

}  // namespace

Handle LoadIconResource(uint16_t id) {
    Handle copy = GetResource(kIcon, id);
    return copy && HandToHand(&copy) == 0 ? copy : 0;
}

uint32_t GetIconImageOffset(Handle iconData, int index) {
    HandleLock lock(iconData);
    IconImage image;
    return lock && ReadIconImage(lock.bytes(), index, &image) ? image.offset : 0;
}

uint32_t GetIconSize(Handle iconData) {
    HandleLock lock(iconData);
    return lock ? IconDataSize(lock.bytes()) : 0;
}

IconSelection* GetIconSelection() { return &g_selection; }

void ClearIconSelection() {
    DisposeHandleAndClear(&g_selection.data);
    g_selection = {};
}

Handle TakeIconSelectionData() {
    Handle copy = g_selection.data;
    return copy && HandToHand(&copy) == 0 ? copy : 0;
}

uint16_t StoreIconResource(Handle data) {
    if (g_selection.fromStack)
        return g_selection.id;
    Handle copy = data;
    if (!copy || HandToHand(&copy) != 0)
        return 0;
    ResRequest request = {};
    request.type = g_selection.mode ? kIcon : kCrsr;
    request.id = g_selection.id ? g_selection.id : NextUniqueResId(FindResFile(GetStackResFile()));
    request.data = copy;
    request.flags = kResRequestCarryOut;
    return WriteStackResource(&request) ? request.id : 0;
}

uint16_t MapButtonIconId(uint16_t /*oldId*/, uint16_t id) {
    // Only a cursor choice is stored here: an icon left pending is no cursor.
    if ((id >= kFirstBuiltInIcon && id <= kLastBuiltInIcon) || !g_selection.data || g_selection.mode)
        return id;
    return StoreIconResource(g_selection.data);
}
