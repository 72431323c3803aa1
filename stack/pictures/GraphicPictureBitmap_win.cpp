// A graphic object's stored picture as a bitmap for its layer.
#include "stack/pictures/GraphicPictureBitmap.h"

#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/GraphicPicture.h"

HBITMAP MakeBitmapFromPictureRecord(std::span<const uint8_t> graphic, Handle card) {
    GraphicPictureView view;
    if (ReadGraphicPicture(graphic, view) != GraphicPictureRefusal::None)
        return nullptr;
    DibHandle made = GraphicPictureToDib(view);
    const bool ok = made != 0;
    // Deeper pixels are in display order already: opening a stack converts its graphics.
    if (ok && view.depth <= 8)
        DibApplyPalette(card, made);
    ScopedHandle dib(made);
    if (!ok || !DibFlipRows(dib.get()))
        return nullptr;
    LockedDib locked(dib.get());
    WindowDC window(GetCardWindow());
    if (!locked || !window)
        return nullptr;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(window.get(), palette, SelectedPalette::kIfIndexed);
    return CreateDIBitmap(window.get(), reinterpret_cast<const BITMAPINFOHEADER*>(locked.bytes().data()), CBM_INIT,
                          locked.image().data(), reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()),
                          DIB_RGB_COLORS);
}

HBITMAP PictureFromGraphicRecord(std::span<const uint8_t> graphic) {
    return MakeBitmapFromPictureRecord(graphic, GetCurrentCardRecord());
}
