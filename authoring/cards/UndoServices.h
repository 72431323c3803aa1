// What undo asks of the Windows build (UndoServices_win.cpp): the offscreen, the paint
// selections, the object layers and the palette, in the shapes of the stack's upcalls
// (stack/StackUpcalls.h), which host/wiring/WireStack_win.cpp fills with them.
#pragma once

#include <cstdint>

#include "graphics/dib/Dib.h"

// The snapshot's pixels written back into the offscreen.
void RestoreOffscreenSnapshot(DibHandle snapshot);
// The object's layer and record exchange their rectangle with r; false when it is not on the card.
bool SwapObjectLayerRect(uint16_t kind, uint16_t id, int32_t r[4]);
// The layer list of the current card freed and built again.
void RebuildCurrentCardLayers();
// A copy of the current card picture's palette (an HPALETTE); 0 when there is no card.
uint32_t CurrentCardPaletteCopy();
// The palette becomes the application palette and the card picture's; colours re-mapped, fill
// patterns reloaded, the colours window invalidated.
void ApplyUndonePalette(uint32_t palette);
// The paint selections, with bitmaps as numbers and rectangles as four values.
void UndoReplaceMaskSelection(void* window, uint32_t pixels, uint32_t mask, uint32_t outline, int x, int y);
void UndoSwapRectSelectionRect(int32_t r[4]);
void UndoSwapRectSelection(int32_t r[4], uint32_t* bitmap);
void UndoRestoreRectSelection(const int32_t r[4], uint32_t bitmap);
