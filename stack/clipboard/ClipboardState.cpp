// The internal clipboard: one for the program, emptied before each copy.
#include "stack/StackPlatform.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

InternalClipboard g_clip;

}  // namespace


InternalClipboard& Clip() { return g_clip; }

void ClearInternalClipboard() {
    InternalClipboard& c = g_clip;
    DisposeHandleAndClear(&c.dib);
    if (c.mask)
        GetStackPlatformOps().deleteGdiObject(c.mask);
    if (c.outline)
        GetStackPlatformOps().deleteGdiObject(c.outline);
    c.mask = c.outline = 0;
    DisposeHandleAndClear(&c.record);
    FreeResourceEntryChain(&c.held, true);
    for (Handle& action : c.actions)
        DisposeHandleAndClear(&action);
    c.kind = kClipNone;
    c.x = c.y = 0;
    c.sourceCardId = 0;
}

void ClearClipboard() {
    GetStackPlatformOps().clearSystemClipboard();
    ClearInternalClipboard();
}

void ClearClipboardFromThisStack() {
    g_clip.resourcesFromThisStack = false;
    g_clip.cardFromThisStack = false;
}

bool HeldResourcesFromThisStack() {
    return g_clip.resourcesFromThisStack && g_clip.purgeCountAtCopy == ResourcePurgeCount();
}

void MarkHeldResourcesFromThisStack() {
    g_clip.resourcesFromThisStack = true;
    g_clip.purgeCountAtCopy = ResourcePurgeCount();
}

void SetClipboardMarker() { GetStackPlatformOps().setClipboardMarker(); }
