// The undo neighbours and their defaults: no offscreen, no selections, no layers.
#include "stack/undo/UndoNeighbours.h"

#include "stack/cards/CardListNeighbours.h"

namespace {

// Made on first use: the installer in another file may run before this file's initializers.
UndoNeighbours& Neighbours() {
    static UndoNeighbours neighbours = DefaultUndoNeighbours();
    return neighbours;
}

}  // namespace

UndoNeighbours DefaultUndoNeighbours() {
    UndoNeighbours n{};
    n.currentTool = [] { return uint32_t{0}; };
    n.selectTool = [](uint32_t) {};
    n.offscreenToDib = [] { return CardNeighbours().offscreenToDib(); };
    n.restoreSnapshot = [](DibHandle) {};
    n.deleteGdiObject = [](uint32_t) {};
    n.replaceMaskSelection = [](void*, uint32_t, uint32_t, uint32_t, int, int) {};
    n.swapMaskSelectionPosition = [](int*, int*) {};
    n.swapRectSelectionRect = [](int32_t*) {};
    n.swapRectSelection = [](int32_t*, uint32_t*) {};
    n.restoreRectSelection = [](const int32_t*, uint32_t) {};
    n.freeMaskSelection = [] {};
    n.flipRectSelection = [](char) {};
    n.setPaintTextCaretPos = [](int, int) {};
    n.rebuildLayers = [] {};
    n.syncCardFromLayers = [] {};
    n.swapObjectRect = [](uint16_t, uint16_t, int32_t*) { return false; };
    n.deselectObject = [] {};
    n.invalidateCard = [](void*) {};
    n.refreshMagnifiedView = [] {};
    n.lastFilterName = [] { return ""; };
    n.cardPalette = [] { return uint32_t{0}; };
    n.applyPalette = [](uint32_t) {};
    n.goToCard = [](uint16_t id) { CardNeighbours().goToCardId(id, 3, 0, 8); };
    return n;
}

const UndoNeighbours& GetUndoNeighbours() { return Neighbours(); }
void SetUndoNeighbours(const UndoNeighbours& neighbours) { Neighbours() = neighbours; }
