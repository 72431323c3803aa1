// What undo asks of the layers above it: the paint selections, the card offscreen, the object
// layers and the current tool. host/UndoServices_win.cpp installs the real ones; until then the
// defaults do nothing (no snapshot can be taken, so no paint step is recorded).
#pragma once

#include <cstdint>

#include "graphics/dib/Dib.h"

struct UndoNeighbours {
    uint32_t (*currentTool)();
    void (*selectTool)(uint32_t tool);
    // A new DIB of the card offscreen; 0 when there is none.
    DibHandle (*offscreenToDib)();
    // Writes a snapshot back into the offscreen.
    void (*restoreSnapshot)(DibHandle snapshot);
    // DeleteObject of a bitmap or palette the step owns.
    void (*deleteGdiObject)(uint32_t object);
    // The masked selection takes these bitmaps (it owns them) and position.
    void (*replaceMaskSelection)(void* window, uint32_t pixels, uint32_t mask, uint32_t outline, int x, int y);
    void (*swapMaskSelectionPosition)(int* x, int* y);
    void (*swapRectSelectionRect)(int32_t rect[4]);
    void (*swapRectSelection)(int32_t rect[4], uint32_t* bitmap);
    void (*restoreRectSelection)(const int32_t rect[4], uint32_t bitmap);
    void (*freeMaskSelection)();
    void (*flipRectSelection)(char letter);
    void (*setPaintTextCaretPos)(int x, int y);
    // SyncCardFromLayers, FreeLayerList, BuildCardLayers of the current card.
    void (*rebuildLayers)();
    // Before a rebuild of layers that object records must not lose: SyncCardFromLayers.
    void (*syncCardFromLayers)();
    // The layer of the object on the current card exchanges its rectangle with rect (region,
    // field window, record, clip region, selection follow). False when it is not on the card.
    bool (*swapObjectRect)(uint16_t kind, uint16_t id, int32_t rect[4]);
    void (*deselectObject)();
    void (*invalidateCard)(void* window);
    void (*refreshMagnifiedView)();
    // The name of the last filter used ("" when none).
    const char* (*lastFilterName)();
    // A copy of the card picture's present palette; 0 when none.
    uint32_t (*cardPalette)();
    // The palette becomes the application palette and the card picture's; colours re-mapped,
    // fill patterns reloaded, the colours window invalidated.
    void (*applyPalette)(uint32_t palette);
    void (*goToCard)(uint16_t id);
};

const UndoNeighbours& GetUndoNeighbours();
void SetUndoNeighbours(const UndoNeighbours& neighbours);
UndoNeighbours DefaultUndoNeighbours();
