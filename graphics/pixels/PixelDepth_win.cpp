// Pixel depth conversions through the display, and the repacking of card pictures.
#include "graphics/pixels/PixelDepthGdi.h"

#include <algorithm>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/HandlesGlobal.h"
#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/PixelDepth.h"

namespace {

constexpr int kRepackFailed = 16;
// The card offscreen is this many rows taller than the card.
constexpr int kOffscreenExtraRows = 2;

const BITMAPINFO* InfoOf(const LockedDib& dib) { return reinterpret_cast<const BITMAPINFO*>(dib.bytes().data()); }

// The 16-bit value the display makes of a colour: asked of the display when it is a 16-bit one
// and a sampler is installed, else the colour's top 5 bits.
uint16_t DisplayValue16(const DibColor& c) {
    const SolidColorSampler sample = GetSolidColorSampler();
    if (sample && GetDisplayBitsPerPixel() == 16) {
        uint16_t value16 = 0;
        uint32_t value32 = 0;
        sample(16, c.red, c.green, c.blue, &value16, &value32);
        return value16;
    }
    return ColorKey555(c);
}

// A palette selected forced to the background, and the previous one selected back.
class BackgroundPalette {
public:
    BackgroundPalette(HDC dc, HPALETTE palette) : dc_(dc) {
        if (dc && palette) {
            previous_ = SelectPalette(dc, palette, TRUE);
            RealizePalette(dc);
        }
    }
    ~BackgroundPalette() {
        if (previous_)
            SelectPalette(dc_, previous_, TRUE);
    }
    BackgroundPalette(const BackgroundPalette&) = delete;
    BackgroundPalette& operator=(const BackgroundPalette&) = delete;

private:
    HDC dc_;
    HPALETTE previous_ = nullptr;
};

// The card size as the card offscreen holds it.
bool CardSize(int& width, int& height) {
    BITMAP info{};
    HBITMAP offscreen = GetOffscreenBitmap();
    if (!offscreen || GetObjectA(offscreen, sizeof info, &info) != sizeof info)
        return false;
    width = info.bmWidth;
    height = info.bmHeight - kOffscreenExtraRows;
    return width > 0 && height > 0;
}

bool PictureSize(Handle picture, int& width, int& height) {
    HandleLock lock(picture);
    if (!lock)
        return false;
    const std::span<const uint8_t> record = lock.bytes();
    width = GetI16(record, kCardWidth);
    height = GetI16(record, kCardHeight);
    return width > 0 && height > 0;
}

// The card record's new data: the DIB packed and stored with the colour table at depth.
int StorePicture(Handle picture, DibHandle dib, Handle table, int depth) {
    const CardPictureUpcalls& n = GetCardPictureUpcalls();
    ScopedHandle packed(n.packPicture(dib, false));
    if (!packed.get())
        return kRepackFailed;
    return n.replacePictureData(picture, packed.get(), table, depth) == 0 ? 0 : kRepackFailed;
}

// A bitmap compatible with the DC holding the DIB's pixels; null on failure. The caller
// deletes it.
HBITMAP BitmapFromDib(HDC dc, DibHandle dib) {
    LockedDib locked(dib);
    if (!locked)
        return nullptr;
    const DibLayout& layout = locked.layout();
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, layout.width, layout.height));
    SelectedPalette selected(dc, GetAppPalette(), SelectedPalette::kIfIndexed);
    if (!bitmap || SetDIBits(dc, bitmap.get(), 0, static_cast<UINT>(layout.height), locked.image().data(),
                             InfoOf(locked), DIB_RGB_COLORS) != layout.height)
        return nullptr;
    return bitmap.release();
}

}  // namespace

DibHandle RequantizeDibThroughDisplay(DibHandle dib) {
    HBITMAP filled = nullptr;
    {
        WindowDC window(GetMainWindow());
        if (!window)
            return 0;
        filled = BitmapFromDib(window.get(), dib);
    }
    OwnedGdiObject<HBITMAP> bitmap(filled);
    return bitmap ? DibFromDeviceBitmap(bitmap.get(), 0, nullptr) : 0;
}

Handle ScaleDibToHandle(std::span<const uint8_t> dib, int width, int height) {
    DibLayout layout;
    if (!ReadDibLayout(dib, layout) || width <= 0 || height <= 0 || width > kDibMaxDimension ||
        height > kDibMaxDimension)
        return 0;
    WindowDC window(GetMainWindow());
    MemoryDC memory(window.get());
    if (!window || !memory)
        return 0;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(window.get(), width, height));
    if (!bitmap)
        return 0;
    {
        SelectedObject target(memory.get(), bitmap.get());
        SelectedPalette selected(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        // The default stretch mode ANDs the rows a shrink drops into the ones it keeps, which
        // darkens colour pictures.
        SetStretchBltMode(memory.get(), COLORONCOLOR);
        if (!target || StretchDIBits(memory.get(), 0, 0, width, height, 0, 0, layout.width, layout.height,
                                     dib.data() + layout.bitsOffset, reinterpret_cast<const BITMAPINFO*>(dib.data()),
                                     DIB_RGB_COLORS, SRCCOPY) == 0)
            return 0;
    }
    HGLOBAL packed = BitmapToPackedDib(bitmap.get());
    if (!packed)
        return 0;
    const Handle result = NewHandleFromGlobal(packed);
    GlobalFree(packed);
    return result;
}

DibHandle DibReduceTo8Bit(Handle pictureRecord, DibHandle deep) {
    int width = 0, height = 0, depth = 0;
    {
        LockedDib in(deep);
        if (!in)
            return 0;
        width = in.layout().width;
        height = in.layout().height;
        depth = in.layout().depth;
    }
    if (depth != 16 && depth != 24 && depth != 32)
        return 0;
    ScopedHandle reduced(NewDib(width, height, 8));
    if (!reduced.get())
        return 0;
    DibApplyPalette(pictureRecord, reduced.get());
    std::vector<DibColor> table(256);
    if (GetDibColorTable(reduced.get(), table) != 256)
        return 0;
    std::array<uint32_t, 256> keys;
    for (int i = 0; i < 256; ++i)
        keys[i] = depth == 16 ? DisplayValue16(table[i]) : ColorKey24(table[i]);
    if (!MatchPixelsToColorKeys(deep, SortColorKeys(keys), reduced.get()))
        return 0;
    return reduced.release();
}

DibHandle PackOffscreenPicture8Bit(HWND window, Handle picture, int depth) {
    (void)window;
    int pictureWidth = 0, pictureHeight = 0, cardWidth = 0, cardHeight = 0;
    if (!PictureSize(picture, pictureWidth, pictureHeight) || !CardSize(cardWidth, cardHeight))
        return 0;
    ScopedHandle dib(GetCardPictureUpcalls().dibFromPictureResource(picture, pictureWidth, pictureHeight, depth, true,
                                                                false));
    if (!dib.get() || !DibApplyPalette(picture, dib.get()))
        return 0;
    // Each pixel takes the index of the one it covers: drawn through a palette display, a
    // picture would keep only the colours the display has.
    LockedDib from(dib.get());
    if (!from || from.layout().depth != 8)
        return 0;
    DibHandle stretched = NewDib(cardWidth, cardHeight, 8);
    LockedDib to(stretched);
    if (!to) {
        DisposeHandle(stretched);
        return 0;
    }
    std::copy_n(from.table().begin(), std::min(from.table().size(), to.table().size()), to.table().begin());
    const int fromWidth = from.layout().width, fromHeight = from.layout().height;
    for (int y = 0; y < cardHeight; ++y) {
        const std::span<const uint8_t> in = from.row(int(int64_t{y} * fromHeight / cardHeight));
        const std::span<uint8_t> out = to.row(y);
        for (int x = 0; x < cardWidth; ++x)
            out[size_t(x)] = in[size_t(int64_t{x} * fromWidth / cardWidth)];
    }
    return stretched;
}

int PackCardPicture8Bit(Handle picture, int depth) {
    const CardPictureUpcalls& n = GetCardPictureUpcalls();
    HWND window = GetMainWindow();
    ScopedHandle table(n.makeColorTableForDepth(window, picture, depth, 8));
    OwnedGdiObject<HPALETTE> palette(PaletteFromMacColorTable(HandleToBytes(table.get())));
    if (!palette)
        return kRepackFailed;
    n.mapBitmapToPalette(picture, palette.get());
    ScopedHandle dib(PackOffscreenPicture8Bit(window, picture, depth));
    if (!dib.get() || !DibSetPaletteFrom(dib.get(), palette.get()))
        return kRepackFailed;
    return StorePicture(picture, dib.get(), table.get(), depth);
}

int ConvertCardPictureFrom4Bit(Handle picture, int oldDepth, int newDepth, int width, int height) {
    if (oldDepth != 4 || (newDepth != 8 && newDepth != 16 && newDepth != 24 && newDepth != 32))
        return kRepackFailed;
    const CardPictureUpcalls& n = GetCardPictureUpcalls();
    ScopedHandle table(n.makeColorTableForDepth(GetMainWindow(), picture, oldDepth, 8));
    OwnedGdiObject<HPALETTE> palette(PaletteFromMacColorTable(HandleToBytes(table.get())));
    int pictureWidth = 0, pictureHeight = 0;
    if (!palette || !PictureSize(picture, pictureWidth, pictureHeight))
        return kRepackFailed;
    ScopedHandle source(n.dibFromPictureResource(picture, pictureWidth, pictureHeight, 4, true, false));
    ScopedHandle wide(DibExpand4To8(source.get(), width, height));
    if (!wide.get() || DibSetPaletteFromMap(wide.get(), palette.get()) < 0)
        return kRepackFailed;
    if (newDepth == 8)
        return StorePicture(picture, wide.get(), table.get(), newDepth);
    ScopedHandle shown(RequantizeDibThroughDisplay(wide.get()));
    ScopedHandle stored(shown.get() ? DibToStackLayout(shown.get(), newDepth) : 0);
    if (!stored.get())
        return kRepackFailed;
    // The stack keeps 24-bit pictures as 32-bit ones.
    return StorePicture(picture, stored.get(), table.get(), newDepth == 24 ? 32 : newDepth);
}
