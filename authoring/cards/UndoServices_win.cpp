// What undo asks of the Windows build: the offscreen, the paint selections, the object layers
// and the palette (wired into the stack's upcalls by host/wiring/WireStack_win.cpp).
#include "authoring/cards/UndoServices.h"

#include <windows.h>

#include <cstring>

#include "core/memory/ByteReader.h"
#include "cardview/card/CardRedraw.h"
#include "cardview/card/CardRedrawServices.h"
#include "graphics/dib/Dib.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/OffscreenDib.h"
#include "objects/ObjectServices.h"
#include "objects/buttons/Buttons.h"
#include "objects/text/TextFields.h"
#include "paint/PaintTools.h"
#include "paint/PasteUndoSelections.h"
#include "paint/Selections.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

RECT ToRect(const int32_t r[4]) { return RECT{r[0], r[1], r[2], r[3]}; }
void FromRect(const RECT& rect, int32_t r[4]) {
    r[0] = rect.left;
    r[1] = rect.top;
    r[2] = rect.right;
    r[3] = rect.bottom;
}

HBITMAP AsBitmap(uint32_t v) { return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(v)); }

}  // namespace

void RestoreOffscreenSnapshot(DibHandle snapshot) {
    const HBITMAP offscreen = GetOffscreenBitmap();
    HandleLock lock(snapshot);
    if (!offscreen || !lock)
        return;
    const std::span<const uint8_t> dib(lock.get(), GetHandleSize(snapshot));
    if (dib.size() < kDibInfoHeaderBytes)
        return;
    const uint64_t bits = DibBitsOffset(dib);
    const int height = static_cast<int>(GetU32(dib, 8));
    if (bits >= dib.size())
        return;
    const HDC dc = AcquireOffscreenDC(nullptr);
    if (!dc)
        return;
    SetDIBits(dc, offscreen, 0, static_cast<UINT>(height < 0 ? -height : height), dib.data() + bits,
              reinterpret_cast<const BITMAPINFO*>(dib.data()), DIB_RGB_COLORS);
    ReleaseOffscreenDC(dc);
    NoteCardPicturePainted();
}

bool SwapObjectLayerRect(uint16_t kind, uint16_t id, int32_t r[4]) {
    const LayerHandle layer = FindLayer(kind, id);
    const RECT saved = ToRect(r);
    {
        LayerLock<> common(layer);
        if (!common)
            return false;
        FromRect(common->bounds, r);
        common->bounds = saved;
        if (common->region)
            DeleteObject(common->region);
        common->region = kind == kObjectButton
                             ? MakeButtonRegion(GetCardWindow(), reinterpret_cast<ButtonLayer*>(common.get()))
                             : CreateRectRgnIndirect(&saved);
    }
    if (kind == kObjectText)
        MoveFieldWindow(layer);
    SetObjectRect(kind, id, saved.left, saved.top, saved.right, saved.bottom);
    CreateClipRegion();
    // Undoing a move selects the object again, where it now stands.
    SelectObjectLayer(layer);
    return true;
}

void RebuildCurrentCardLayers() {
    FreeLayerList();
    if (const Handle card = GetCurrentCardRecord())
        BuildCardLayers(card);
}

void ApplyUndonePalette(uint32_t palette) {
    const HPALETTE hpal = reinterpret_cast<HPALETTE>(static_cast<uintptr_t>(palette));
    SetAppPalette(hpal);
    if (const Handle card = GetCurrentCardRecord()) {
        StorePaletteInPictureResource(card, hpal);
        MapBitmapToPalette(card, hpal);
    }
    ReloadFillPatterns();
    if (const HWND colors = GetFcolorsWindow())
        InvalidateRect(colors, nullptr, FALSE);
}

uint32_t CurrentCardPaletteCopy() {
    const Handle card = GetCurrentCardRecord();
    return card ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(CardPalette(card))) : 0u;
}

void UndoReplaceMaskSelection(void* window, uint32_t pixels, uint32_t mask, uint32_t outline, int x, int y) {
    ReplaceMaskSelection(static_cast<HWND>(window), AsBitmap(pixels), AsBitmap(mask), AsBitmap(outline), x, y);
}

void UndoSwapRectSelectionRect(int32_t r[4]) {
    RECT rect = ToRect(r);
    SwapRectSelectionRect(&rect);
    FromRect(rect, r);
}

void UndoSwapRectSelection(int32_t r[4], uint32_t* bitmap) {
    RECT rect = ToRect(r);
    HBITMAP b = AsBitmap(*bitmap);
    SwapRectSelection(&rect, &b);
    FromRect(rect, r);
    *bitmap = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(b));
}

void UndoRestoreRectSelection(const int32_t r[4], uint32_t bitmap) {
    RestoreRectSelection(r[0], r[1], r[2], r[3], AsBitmap(bitmap));
}
