// A pasted bitmap on a deep display with a stack of 8 bits or less: matched to the card palette
// through the imaging library, so that it paints in the card's own colours.
#include <windows.h>

#include "core/ui/DisplayUtils.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "stack/pictures/CardPictureConvert.h"
#include "vic32/Vic32.h"

namespace {

// The images of one match, freed on every way out.
struct MatchImages {
    VicImage source{}, target{};
    HGLOBAL dib = nullptr;
    HPALETTE palette = nullptr;
    ~MatchImages() {
        freeimage(&source);
        freeimage(&target);
        if (dib)
            GlobalFree(dib);
        if (palette)
            DeleteObject(palette);
    }
};

HBITMAP BitmapFromImage(const VicImage& image) {
    VicImage view{};
    if (copyimgdes(&image, &view) != VIC_OK)
        return nullptr;
    const HWND window = GetCardWindow();
    const HDC dc = GetDC(window);
    if (!dc)
        return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(view.header);
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, view.width, view.height);
    if (bitmap)
        SetDIBits(dc, bitmap, 0, static_cast<UINT>(view.height), view.bits, info, DIB_RGB_COLORS);
    ReleaseDC(window, dc);
    freeimage(&view);
    return bitmap;
}

}  // namespace

HBITMAP PrepareDibForPaste(HBITMAP bitmap) {
    if (!bitmap || GetDisplayBitsPerPixel() <= 8 || GetScreenDepth() > 8)
        return bitmap;
    // 16- and 32-bit pixels are read as 24-bit: GetDIBits does the swap and the narrowing.
    const DibHandle dib = DibFromDeviceBitmap(bitmap, 24, GetAppPalette());
    MatchImages m;
    m.dib = GlobalCopyOfHandle(dib);
    DisposeHandle(dib);
    const Handle card = GetCurrentCardRecord();
    m.palette = card ? CardPalette(card) : nullptr;
    if (!m.dib || !m.palette || dibtoimage(m.dib, &m.source) != VIC_OK ||
        allocimage(&m.target, m.source.width, m.source.height, 8) != VIC_OK)
        return bitmap;
    m.target.colors = wintovicpal(m.palette, m.target.palette, m.target.paletteSlots);
    if (m.target.colors <= 0 || matchcolorimageex(&m.source, &m.target, VIC_MATCH_PERCEPTUAL) != VIC_OK)
        return bitmap;
    const HBITMAP matched = BitmapFromImage(m.target);
    if (!matched)
        return bitmap;
    DeleteObject(bitmap);
    return matched;
}
