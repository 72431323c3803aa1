// The internal clipboard: one for the program, emptied before each copy.
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardNeighbours.h"
#include "stack/save/ResourceUpkeep.h"

namespace {

InternalClipboard g_clip;

// Made on first use: installers in other files may run before this file's initializers.
ClipboardNeighbours& Neighbours() {
    static ClipboardNeighbours neighbours = DefaultClipboardNeighbours();
    return neighbours;
}

}  // namespace

ClipboardNeighbours DefaultClipboardNeighbours() {
    ClipboardNeighbours n{};
    n.clearSystemClipboard = [] {};
    n.setMarker = [] {};
    n.deleteGdiObject = [](uint32_t) {};
    n.currentTool = [] { return uint32_t{0}; };
    n.selectTool = [](uint32_t) {};
    n.flushCardEdits = [] {};
    n.syncCardFromLayers = [] {};
    n.convertCardGraphicsDepth = [](Handle, int) { return 0; };
    n.pasteObjectOntoCard = [](void*) {};
    n.textFieldActive = [] { return false; };
    n.paintTextActive = [] { return false; };
    n.textFieldPaste = [](void*) { return false; };
    n.pasteTextNoun = [](char*, size_t) { return false; };
    n.floatRectSelection = [](uint32_t, int, int) {};
    n.placeMaskSelection = [](uint32_t, uint32_t, uint32_t, int, int) {};
    return n;
}

const ClipboardNeighbours& GetClipboardNeighbours() { return Neighbours(); }
void SetClipboardNeighbours(const ClipboardNeighbours& neighbours) { Neighbours() = neighbours; }

InternalClipboard& Clip() { return g_clip; }

void ClearInternalClipboard() {
    InternalClipboard& c = g_clip;
    DisposeHandleAndClear(&c.dib);
    if (c.mask)
        Neighbours().deleteGdiObject(c.mask);
    if (c.outline)
        Neighbours().deleteGdiObject(c.outline);
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
    Neighbours().clearSystemClipboard();
    ClearInternalClipboard();
}

void ClearClipboardFromThisStack() {
    g_clip.resourcesFromThisStack = false;
    g_clip.cardFromThisStack = false;
}

void SetClipboardMarker() { Neighbours().setMarker(); }
