// Pixel maps: the record, its constructors and copies, drawing on it, rectangle copies with and
// without a mask, masks of one colour, and mirroring.
#include "graphics/pixels/PixMap.h"

#include <new>
#include <type_traits>
#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"

static_assert(std::is_trivially_copyable_v<PixMap>, "maps are kept in handles");
static_assert(sizeof(void*) != 4 || alignof(PixMap) <= 4, "handle data is 4-byte aligned");

namespace {

MovieFrameImageHook g_movieFrameImage = nullptr;

bool ReadDescription(HBITMAP bitmap, BITMAP& description) {
    description = {};
    return bitmap && GetObjectA(bitmap, sizeof description, &description) == sizeof description;
}

HPALETTE ScreenPalette() {
    HPALETTE picture = GetPicturePalette();
    return picture ? picture : GetAppPalette();
}

void DeleteMapBitmap(HBITMAP bitmap) {
    if (bitmap && bitmap != GetOffscreenBitmap())
        DeleteObject(bitmap);
}

bool IsSelected(HDC dc, HGDIOBJ object, UINT kind) {
    return dc && object && GetCurrentObject(dc, kind) == object;
}

// The map's palette selected into its DC; what the DC held before is kept once.
void SelectMapPalette(PixMap& map, HPALETTE palette) {
    map.palette = palette;
    if (!palette || !map.dc)
        return;
    HPALETTE previous = SelectPalette(map.dc, palette, FALSE);
    if (previous && previous != palette && !map.previousPalette)
        map.previousPalette = previous;
}

// Puts back what the DC held before the map's bitmap and palette.
void PutBackKept(PixMap& map) {
    if (!map.dc)
        return;
    if (map.previousBitmap)
        SelectObject(map.dc, map.previousBitmap);
    if (map.previousPalette)
        SelectPalette(map.dc, map.previousPalette, FALSE);
    map.previousBitmap = nullptr;
    map.previousPalette = nullptr;
}

// Draws on a map for one scope unless it already draws.
class DrawingScope {
public:
    explicit DrawingScope(PixMap* map) : map_(map), began_(map && !map->drawing) {
        if (began_)
            BeginPixMapDraw(map_);
    }
    ~DrawingScope() {
        if (began_)
            EndPixMapDraw(map_);
    }
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;

private:
    PixMap* map_;
    bool began_;
};

int Width(const ShortRect& r) { return r.right - r.left; }
int Height(const ShortRect& r) { return r.bottom - r.top; }

}  // namespace

UnselectedPixMapBitmap::UnselectedPixMapBitmap(const PixMap& map) {
    if (!IsSelected(map.dc, map.bitmap, OBJ_BITMAP))
        return;
    standIn_ = CreateBitmap(1, 1, 1, 1, nullptr);
    if (standIn_ && SelectObject(map.dc, standIn_)) {
        dc_ = map.dc;
        bitmap_ = map.bitmap;
    }
}

UnselectedPixMapBitmap::~UnselectedPixMapBitmap() {
    if (dc_)
        SelectObject(dc_, bitmap_);
    if (standIn_)
        DeleteObject(standIn_);
}

int NewPixMap(PixMap* out, const ShortRect& rect, int depth, bool makeBitmap) {
    *out = PixMap{};
    WindowDC card(GetMainWindow());
    PixMap map;
    map.dc = card ? CreateCompatibleDC(card.get()) : nullptr;
    if (!map.dc)
        return -1;
    if (makeBitmap) {
        const int width = Width(rect), height = Height(rect);
        HBITMAP bitmap = nullptr;
        if (width > 0 && height > 0)
            bitmap = depth == 1 ? CreateBitmap(width, height, 1, 1, nullptr)
                                : CreateCompatibleBitmap(card.get(), width, height);
        if (!bitmap || !ReadDescription(bitmap, map.description)) {
            if (bitmap)
                DeleteObject(bitmap);
            DeleteDC(map.dc);
            return -1;
        }
        map.bitmap = bitmap;
    } else {
        map.description.bmBitsPixel = static_cast<WORD>(GetDisplayBitsPerPixel());
        map.description.bmPlanes = 1;
        map.description.bmWidth = rect.right;
        map.description.bmHeight = rect.bottom;
    }
    map.depth = static_cast<uint16_t>(depth == 1 || depth == 8 || depth == 16 ? depth : 32);
    if (map.description.bmBitsPixel == 8)
        SelectMapPalette(map, ScreenPalette());
    *out = map;
    return 0;
}

int NewPixMapForWindow(HWND window, PixMap** out) {
    *out = nullptr;
    auto* map = new (std::nothrow) PixMap{};
    if (!map)
        return -1;
    WindowDC dc(window);
    RECT client = {};
    HBITMAP bitmap = nullptr;
    if (dc && GetClientRect(window, &client))
        bitmap = CreateCompatibleBitmap(dc.get(), client.right, client.bottom);
    if (!bitmap || !ReadDescription(bitmap, map->description)) {
        if (bitmap)
            DeleteObject(bitmap);
        delete map;
        return -1;
    }
    map->bitmap = bitmap;
    map->depth = map->description.bmBitsPixel;
    if (map->description.bmBitsPixel == 8) {
        map->palette = ScreenPalette();
        if (map->palette) {
            HPALETTE previous = SelectPalette(dc.get(), map->palette, FALSE);
            RealizePalette(dc.get());
            SelectPalette(dc.get(), previous, FALSE);
        }
    }
    map->window = window;
    *out = map;
    return 0;
}

void SetMovieFrameImageHook(MovieFrameImageHook hook) { g_movieFrameImage = hook; }

int NewPixMapFromGraphicFile(Handle* out, MovieFrameSource* source) {
    *out = 0;
    if (!g_movieFrameImage || !source)
        return -1;
    PixMap map;
    {
        WindowDC card(GetMainWindow());
        map.dc = card ? CreateCompatibleDC(card.get()) : nullptr;
    }
    if (!map.dc)
        return -1;
    HBITMAP frame = nullptr;
    if (!g_movieFrameImage(source, map.dc, &frame) || !frame) {
        DeleteDC(map.dc);
        return -1;
    }
    SetPixMapBitmap(&map, frame);
    map.depth = map.description.bmBitsPixel;
    if (map.description.bmBitsPixel == 8)
        SelectMapPalette(map, ScreenPalette());
    HGDIOBJ previous = SelectObject(map.dc, frame);
    if (previous && previous != frame)
        map.previousBitmap = previous;
    const Handle h = NewPixMapHandle(map);
    if (!h) {
        DisposePixMap(&map);
        return -1;
    }
    *out = h;
    return 0;
}

int CopyPixMapRecord(const PixMap& source, PixMap* destination) {
    *destination = PixMap{};
    PixMap copy = source;
    copy.dc = nullptr;
    copy.bitmap = nullptr;
    copy.ownsPalette = 0;
    copy.drawing = 0;
    copy.previousBitmap = nullptr;
    copy.previousPalette = nullptr;
    if (!source.window) {
        WindowDC card(GetMainWindow());
        copy.dc = card ? CreateCompatibleDC(card.get()) : nullptr;
        if (!copy.dc)
            return -1;
    }
    // A palette that the source will delete with itself cannot be shared.
    if (source.palette && (source.description.bmBitsPixel == 8 || source.ownsPalette)) {
        HPALETTE own = DuplicatePalette(source.palette);
        if (!own) {
            copy.palette = nullptr;
            DisposePixMap(&copy);
            return -1;
        }
        SelectMapPalette(copy, own);
        copy.ownsPalette = 1;
    }
    if (source.bitmap) {
        UnselectedPixMapBitmap unselected(source);
        copy.bitmap = DuplicateBitmap(source.bitmap);
        if (!copy.bitmap) {
            DisposePixMap(&copy);
            return -1;
        }
        ReadDescription(copy.bitmap, copy.description);
    }
    *destination = copy;
    return 0;
}

void DisposePixMap(PixMap* map) {
    if (!map)
        return;
    ReleasePixMapObjects(map);
    if (map->ownsPalette && map->palette)
        DeleteObject(map->palette);
    *map = PixMap{};
}

void DisposeWindowPixMap(PixMap** map) {
    if (!map || !*map)
        return;
    EndPixMapDraw(*map);
    DeleteMapBitmap((*map)->bitmap);
    if ((*map)->ownsPalette && (*map)->palette)
        DeleteObject((*map)->palette);
    delete *map;
    *map = nullptr;
}

void ReleasePixMapObjects(PixMap* map) {
    if (!map)
        return;
    EndPixMapDraw(map);
    PutBackKept(*map);
    // The DC goes first, so that nothing it holds stays selected.
    if (map->dc && !map->window)
        DeleteDC(map->dc);
    DeleteMapBitmap(map->bitmap);
    map->dc = nullptr;
    map->bitmap = nullptr;
}

void BeginPixMapDraw(PixMap* map) {
    if (!map || map->drawing)
        return;
    if (map->window && !map->dc)
        map->dc = GetDC(map->window);
    if (map->dc) {
        if (map->description.bmBitsPixel == 8 && map->palette) {
            HPALETTE previous = SelectPaletteIfIndexed(map->dc, map->palette, FALSE);
            if (previous && previous != map->palette && !map->previousPalette)
                map->previousPalette = previous;
        }
        // A window's DC takes no bitmap; the window is drawn on directly.
        if (map->bitmap) {
            HGDIOBJ previous = SelectObject(map->dc, map->bitmap);
            if (previous && previous != HGDI_ERROR && previous != map->bitmap && !map->previousBitmap)
                map->previousBitmap = previous;
        }
    }
    map->drawing = 1;
}

bool OpenPixMapPort(PixMap* map) {
    BeginPixMapDraw(map);
    return true;
}

void EndPixMapDraw(PixMap* map) {
    if (!map || !map->drawing)
        return;
    PutBackKept(*map);
    if (map->window && map->dc) {
        ReleaseDC(map->window, map->dc);
        map->dc = nullptr;
    }
    map->drawing = 0;
}

void ClosePixMapPort(PixMap* map) { EndPixMapDraw(map); }

ShortRect PixMapBounds(const PixMap& map) {
    return {0, 0, static_cast<int16_t>(map.description.bmWidth), static_cast<int16_t>(map.description.bmHeight)};
}

uint16_t GetPixMapDepth(const PixMap& map) { return map.depth; }

uint16_t GetPixMapBitsPerPixel(const PixMap& map) { return map.description.bmBitsPixel; }

uint16_t GetPixMapRowBytes(const PixMap& map) { return static_cast<uint16_t>(map.description.bmWidthBytes); }

void SetPixMapBitmap(PixMap* map, HBITMAP bitmap) {
    HBITMAP old = map->bitmap;
    if (old != bitmap && IsSelected(map->dc, old, OBJ_BITMAP)) {
        if (bitmap) {
            SelectObject(map->dc, bitmap);
        } else if (map->previousBitmap) {
            SelectObject(map->dc, map->previousBitmap);
            map->previousBitmap = nullptr;
        }
    }
    if (old != bitmap)
        DeleteMapBitmap(old);
    map->bitmap = bitmap;
    ReadDescription(bitmap, map->description);
}

int DetachPixMapBitmap(PixMap* map, HBITMAP* bitmap) {
    *bitmap = nullptr;
    if (!map->bitmap)
        return -1;
    if (IsSelected(map->dc, map->bitmap, OBJ_BITMAP) && map->previousBitmap) {
        SelectObject(map->dc, map->previousBitmap);
        map->previousBitmap = nullptr;
    }
    *bitmap = map->bitmap;
    map->bitmap = nullptr;
    map->description = {};
    return 0;
}

int SetPixMapColorTable(PixMap* map, Handle colorTable) {
    const std::vector<uint8_t> table = HandleToBytes(colorTable);
    HPALETTE palette = PaletteFromMacColorTable(table);
    if (!palette)
        return -1;
    HPALETTE old = map->palette;
    if (IsSelected(map->dc, old, OBJ_PAL))
        SelectPalette(map->dc, palette, FALSE);
    if (map->ownsPalette && old)
        DeleteObject(old);
    map->palette = palette;
    map->ownsPalette = 1;
    return 0;
}

Handle PaletteToColorTableHandle(const PixMap& map) {
    if (!map.palette)
        return 0;
    PALETTEENTRY entries[256] = {};
    const UINT count = GetPaletteEntries(map.palette, 0, 256, entries);
    std::vector<DibColor> colors(256);
    for (UINT i = 0; i < count && i < 256; ++i)
        colors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    return NewHandleFromBytes(MacColorTableFromColors(colors));
}

Handle NewPixMapHandle(const PixMap& map) {
    ScopedHandle h(NewHandle(sizeof(PixMap)));
    HandleLock lock(h.get());
    if (!lock)
        return 0;
    new (lock.get()) PixMap(map);
    return h.release();
}

PixMap* LockPixMapHandle(Handle h) {
    if (!IsValidHandle(h) || GetHandleSize(h) != sizeof(PixMap))
        return nullptr;
    return std::launder(reinterpret_cast<PixMap*>(LockHandle(h)));
}

void UnlockPixMapHandle(Handle h) { UnlockHandle(h); }

void CopyPixMapBits(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                    const ShortRect& destinationRect, HBITMAP mask) {
    if (!source || !destination || !source->bitmap || !destination->bitmap)
        return;
    if (mask) {
        const POINT origin = EqualShortRect(sourceRect, destinationRect) ? POINT{sourceRect.left, sourceRect.top}
                                                                         : POINT{0, 0};
        CopyPixMapBitsMasked(source, destination, sourceRect, destinationRect, mask, origin);
        return;
    }
    DrawingScope from(source);
    DrawingScope to(destination);
    if (!source->dc || !destination->dc)
        return;
    StretchBlt(destination->dc, destinationRect.left, destinationRect.top, Width(destinationRect),
               Height(destinationRect), source->dc, sourceRect.left, sourceRect.top, Width(sourceRect),
               Height(sourceRect), SRCCOPY);
}

void CopyPixMapRect(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                    const ShortRect& destinationRect, HBITMAP mask) {
    CopyPixMapBits(source, destination, sourceRect, destinationRect, mask);
}

void CopyPixMapBitsMasked(PixMap* source, PixMap* destination, const ShortRect& sourceRect,
                          const ShortRect& destinationRect, HBITMAP mask, POINT maskOrigin) {
    if (!source || !destination || !source->bitmap || !destination->bitmap || !mask)
        return;
    const int width = Width(sourceRect), height = Height(sourceRect);
    if (width <= 0 || height <= 0)
        return;
    DrawingScope from(source);
    DrawingScope to(destination);
    HDC target = destination->dc;
    if (!source->dc || !target)
        return;
    MemoryDC maskDc(target), under(target), over(target);
    if (!maskDc || !under || !over)
        return;
    OwnedGdiObject<HBITMAP> underBits(CreateCompatibleBitmap(target, width, height));
    OwnedGdiObject<HBITMAP> overBits(CreateCompatibleBitmap(target, width, height));
    if (!underBits || !overBits)
        return;
    SelectedObject maskIn(maskDc.get(), mask);
    SelectedObject underIn(under.get(), underBits.get());
    SelectedObject overIn(over.get(), overBits.get());
    SelectedObject underBrush(under.get(), GetStockObject(BLACK_BRUSH));
    SelectedObject overBrush(over.get(), GetStockObject(BLACK_BRUSH));
    // One-bit masks blit into colour as text colour for 0 and background colour for 1.
    for (HDC dc : {under.get(), over.get()}) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
    }
    BitBlt(over.get(), 0, 0, width, height, source->dc, sourceRect.left, sourceRect.top, SRCCOPY);
    BitBlt(over.get(), 0, 0, width, height, maskDc.get(), maskOrigin.x, maskOrigin.y, SRCAND);
    BitBlt(under.get(), 0, 0, width, height, target, destinationRect.left, destinationRect.top, SRCCOPY);
    BitBlt(under.get(), 0, 0, width, height, maskDc.get(), maskOrigin.x, maskOrigin.y, kRopAndNotSource);
    BitBlt(under.get(), 0, 0, width, height, over.get(), 0, 0, SRCPAINT);
    BitBlt(target, destinationRect.left, destinationRect.top, width, height, under.get(), 0, 0, SRCCOPY);
}

int MaskFromPixMapColor(PixMap* source, const ShortRect& rect, const MacRgbColor* color, PixMap* mask) {
    *mask = PixMap{};
    if (!color)
        return 0;
    if (!source || !source->bitmap)
        return -1;
    const int width = Width(rect), height = Height(rect);
    PixMap made;
    if (NewPixMap(&made, {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height)}, 1, true) != 0)
        return -1;
    {
        DrawingScope from(source);
        BeginPixMapDraw(&made);
        HDC in = source->dc;
        HDC out = made.dc;
        PatBlt(out, 0, 0, width, height, WHITENESS);
        SelectClipRgn(in, nullptr);
        SelectClipRgn(out, nullptr);
        // The device compares its own pixels with the colour as it shows it: a colour-to-mono
        // blit makes pixels of the background colour 1, and inverted they are the black ones.
        const COLORREF wanted = PALETTERGB(color->red[0], color->green[0], color->blue[0]);
        if (source->description.bmBitsPixel == 1) {
            const bool white = (GetNearestColor(in, wanted) & 0xFFFFFF) == 0xFFFFFF;
            BitBlt(out, 0, 0, width, height, in, rect.left, rect.top, white ? NOTSRCCOPY : SRCCOPY);
        } else {
            const COLORREF background = SetBkColor(in, wanted);
            BitBlt(out, 0, 0, width, height, in, rect.left, rect.top, NOTSRCCOPY);
            SetBkColor(in, background);
        }
        EndPixMapDraw(&made);
    }
    *mask = made;
    return 0;
}

void FlipPixMap(PixMap* map, const ShortRect& rect, bool horizontal) {
    if (!map || !map->bitmap)
        return;
    const int width = Width(rect), height = Height(rect);
    if (width <= 0 || height <= 0)
        return;
    // The strip follows the bitmap, so that colour pictures keep their colours.
    const ShortRect stripRect = {0, 0, static_cast<int16_t>(horizontal ? 1 : width),
                                 static_cast<int16_t>(horizontal ? height : 1)};
    PixMap strip;
    if (NewPixMap(&strip, stripRect, map->description.bmBitsPixel == 1 ? 1 : 32, true) != 0)
        return;
    {
        DrawingScope drawing(map);
        DrawingScope stripDrawing(&strip);
        const int steps = (horizontal ? width : height) / 2;
        for (int i = 0; i < steps; ++i) {
            ShortRect first = rect, last = rect;
            if (horizontal) {
                first.left = static_cast<int16_t>(rect.left + i);
                first.right = static_cast<int16_t>(first.left + 1);
                last.right = static_cast<int16_t>(rect.right - i);
                last.left = static_cast<int16_t>(last.right - 1);
            } else {
                first.top = static_cast<int16_t>(rect.top + i);
                first.bottom = static_cast<int16_t>(first.top + 1);
                last.bottom = static_cast<int16_t>(rect.bottom - i);
                last.top = static_cast<int16_t>(last.bottom - 1);
            }
            CopyPixMapRect(map, &strip, first, stripRect, nullptr);
            CopyPixMapRect(map, map, last, first, nullptr);
            CopyPixMapRect(&strip, map, stripRect, last, nullptr);
        }
    }
    DisposePixMap(&strip);
}

int CutOutFlippedBitmap(ShortRect* rect, HBITMAP* bitmap, bool horizontal) {
    if (!*bitmap)
        return 1;
    OffsetShortRect(rect, static_cast<int16_t>(-rect->left), static_cast<int16_t>(-rect->top));
    RECT area;
    ShortRectToRect(*rect, &area);
    HBITMAP copy = CutOutBitmap(*bitmap, area);
    if (!copy)
        return -1;
    PixMap map;
    if (NewPixMap(&map, *rect, 1, false) != 0) {
        DeleteObject(copy);
        return -1;
    }
    SetPixMapBitmap(&map, copy);
    FlipPixMap(&map, *rect, horizontal);
    HBITMAP mirrored = nullptr;
    DetachPixMapBitmap(&map, &mirrored);
    DisposePixMap(&map);
    DeleteMapBitmap(*bitmap);
    *bitmap = mirrored;
    return 0;
}
