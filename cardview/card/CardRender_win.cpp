// Rendering a card off screen: its picture at the display's depth, the start frames of its
// animations, then each visible object drawn by its own kind.
#include "cardview/card/CardRender.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "cardview/card/CardRedraw.h"
#include "cardview/card/CardRedrawServices.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/DibGdi.h"
#include "format/StackFile.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

int DisplayDepth() { return RecordedDepth(GetDisplayBitsPerPixel()); }

// All rows of the picture into the target; false when any row could not be set.
bool SetAllRows(HDC dc, DibHandle dib, int width, int height) {
    LockedDib locked(dib);
    if (!locked)
        return false;
    const int rows = locked.layout().height;
    const int w = std::min(width, locked.layout().width), h = std::min(height, rows);
    const int set = SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, rows - h, 0,
                                      static_cast<UINT>(rows), locked.image().data(),
                                      reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS);
    return set == rows;
}

// A field's text control paints itself (client, then frame) into a bitmap of the field's size
// that is then copied onto the card; a transparent field first takes the picture behind it.
void DrawFieldWindow(HDC dc, LayerHandle layer) {
    RECT bounds{};
    HWND window = nullptr;
    bool transparent = false;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field)
            return;
        bounds = field->common.bounds;
        window = field->window;
        transparent = (field->objectFlags & kTextTransparent) != 0;
    }
    if (!window || !IsWindow(window)) {
        GetLayerKindProcs().drawField(dc, layer);
        return;
    }
    const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
    if (w <= 0 || h <= 0)
        return;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, w, h));
    MemoryDC paint(dc);
    SelectedObject selected(paint.get(), bitmap.get());
    if (!selected)
        return;
    if (transparent) {
        BitBlt(paint.get(), 0, 0, w, h, dc, bounds.left, bounds.top, SRCCOPY);
        SetBkMode(paint.get(), TRANSPARENT);
    }
    SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(paint.get()), PRF_CLIENT | (transparent ? 0 : PRF_ERASEBKGND));
    SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(paint.get()), PRF_NONCLIENT);
    BitBlt(dc, bounds.left, bounds.top, w, h, paint.get(), 0, 0, SRCCOPY);
}

void DrawObjectForPrint(void* context, std::span<const uint8_t> object) {
    HDC dc = *static_cast<HDC*>(context);
    // Hidden objects are not printed (the flag lies in the flags word's low byte).
    if (object.size() <= kObjectFlags || (object[kObjectFlags] & kObjectHidden))
        return;
    const LayerKindProcs& kinds = GetLayerKindProcs();
    switch (GetU16(object, kObjectKind)) {
    case kObjectGraphic:
        if (LayerHandle layer = NewGraphicLayer(object, kLayerAtEnd)) {
            LayerLock<GraphicLayer> graphic(layer);
            if (graphic)
                kinds.drawGraphic(dc, graphic.get());
        }
        break;
    case kObjectButton:
        if (LayerHandle layer = NewButtonLayer(object, kLayerAtEnd)) {
            LayerLock<ButtonLayer> button(layer);
            if (button)
                kinds.drawButton(dc, button.get(), GetCardWindow());
        }
        break;
    case kObjectText:
        if (LayerHandle layer = NewFieldLayer(object, kLayerAtEnd, kFieldWindowShown))
            DrawFieldWindow(dc, layer);
        break;
    default: break;
    }
}

}  // namespace

bool OpenCardRenderTarget(CardRenderTarget* target) {
    if (!target)
        return false;
    *target = {};
    GetOffscreenSize(&target->width, &target->height, nullptr);
    if (target->width <= 0 || target->height <= 0)
        return false;
    WindowDC window(GetCardWindow());
    target->dc = CreateCompatibleDC(window.get());
    target->bitmap = target->dc ? CreateCompatibleBitmap(window.get(), target->width, target->height) : nullptr;
    if (!target->bitmap) {
        CloseCardRenderTarget(target);
        return false;
    }
    target->keptBitmap = SelectObject(target->dc, target->bitmap);
    if (HPALETTE app = GetAppPalette()) {
        target->keptPalette = SelectPalette(target->dc, app, FALSE);
        RealizePalette(target->dc);
    }
    return true;
}

void CloseCardRenderTarget(CardRenderTarget* target) {
    if (!target)
        return;
    if (target->dc) {
        if (target->keptBitmap)
            SelectObject(target->dc, target->keptBitmap);
        if (target->keptPalette)
            SelectPalette(target->dc, target->keptPalette, FALSE);
        DeleteDC(target->dc);
    }
    if (target->bitmap)
        DeleteObject(target->bitmap);
    *target = {};
}

DibHandle BitmapToPackedDIB(HDC dc, HBITMAP bitmap, HPALETTE palette) {
    if (!dc || !bitmap)
        return 0;
    // Depth 0: the bitmap's own planes x bits per pixel; rows 4-byte aligned, table for <= 8.
    return GetBitmapDibBits(dc, bitmap, 0, palette);
}

DibHandle RenderCardForPrint(Handle card, const CardRenderTarget& target) {
    if (!IsValidHandle(card) || !target.dc || !target.bitmap)
        return 0;
    OwnedGdiObject<HPALETTE> palette(PaletteFromPictureResource(card));
    {
        OwnedGdiObject<HBRUSH> white(CreateSolidBrush(kWhite));
        const RECT all{0, 0, target.width, target.height};
        FillRect(target.dc, &all, white.get());
    }
    DibHandle picture = 0;
    const CardPictureOutcome outcome = CardPictureForDisplay(card, DisplayDepth(), &picture);
    ScopedHandle pictureDib(picture);
    if (outcome == CardPictureOutcome::Drawn) {
        SelectedPalette selected(target.dc, palette.get(), SelectedPalette::kAlways);
        if (!picture || !SetAllRows(target.dc, picture, target.width, target.height))
            return 0;
    }
    DrawCardAnimationStarts(card, target.dc);
    HDC dc = target.dc;
    WalkVisibleObjects(card, DrawObjectForPrint, &dc);
    GdiFlush();
    return BitmapToPackedDIB(target.dc, target.bitmap, palette.get() ? palette.get() : GetAppPalette());
}

bool RenderCardToDib(Handle card, DibHandle* out) {
    if (!out)
        return false;
    *out = 0;
    CardRenderTarget target;
    if (!OpenCardRenderTarget(&target))
        return false;
    const LayerHandle kept = GetLayerListHead();
    SetLayerListHead(nullptr);
    *out = RenderCardForPrint(card, target);
    FreeLayerList();
    SetLayerListHead(kept);
    CreateClipRegion();
    CloseCardRenderTarget(&target);
    return *out != 0;
}
