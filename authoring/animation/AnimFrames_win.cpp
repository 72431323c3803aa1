// Frames from picture files (a numbered series, an animated GIF, one cropped picture) and the
// films made of them or of a movie (AnimFrames.h).
#include "authoring/animation/AnimFrames.h"

#include <algorithm>
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/WaitCursor.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/PixMap.h"
#include "media/animation/AnimPlayback.h"
#include "media/animation/AnimRecord.h"
#include "media/pictures/GifScan.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"
#include "media/support/PackedDib.h"
#include "resources/animsource_ids.h"
#include "authoring/animation/AnimSeries.h"
#include "authoring/graphics/PictureCrop.h"
#include "format/StackFile.h"

namespace {

// A bitmap of the card window's kind, filled white when asked.
HBITMAP NewStripBitmap(int width, int height, bool white) {
    if (width <= 0 || height <= 0)
        return nullptr;
    WindowDC screen(GetMainWindow());
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    if (bitmap && white) {
        MemoryDC dc(screen.get());
        SelectedObject selected(dc.get(), bitmap);
        PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
    }
    return bitmap;
}

// The top rows of the bitmap in a new one; the old one is deleted.
HBITMAP CutStrip(HBITMAP strip, int width, int height) {
    HBITMAP cut = NewStripBitmap(width, height, false);
    if (!cut)
        return strip;
    {
        WindowDC screen(GetMainWindow());
        MemoryDC from(screen.get()), to(screen.get());
        SelectedObject a(from.get(), strip), b(to.get(), cut);
        BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
    }
    DeleteObject(strip);
    return cut;
}

ShortRect FrameRect(int left, int top, int right, int bottom) {
    return ShortRect{static_cast<int16_t>(left), static_cast<int16_t>(top), static_cast<int16_t>(right),
                     static_cast<int16_t>(bottom)};
}

// The packed DIBs of LoadGifFrames, freed with their block.
class GifFrameBlock {
public:
    GifFrameBlock(HGLOBAL block, int count) : block_(block) {
        if (block_ && count > 0) {
            const size_t room = GlobalSize(block_) / sizeof(HGLOBAL);
            if (auto* p = static_cast<HGLOBAL*>(GlobalLock(block_))) {
                frames_.assign(p, p + std::min<size_t>(room, static_cast<size_t>(count)));
                GlobalUnlock(block_);
            }
        }
    }
    ~GifFrameBlock() {
        for (HGLOBAL f : frames_)
            if (f)
                GlobalFree(f);
        if (block_)
            GlobalFree(block_);
    }
    GifFrameBlock(const GifFrameBlock&) = delete;
    GifFrameBlock& operator=(const GifFrameBlock&) = delete;
    const std::vector<HGLOBAL>& frames() const { return frames_; }

private:
    HGLOBAL block_;
    std::vector<HGLOBAL> frames_;
};

// A frame's packed DIB as the strip draws it, once ReadPackedDib has found its header, colour
// table and rows inside its block.
struct DibView {
    const BITMAPINFO* info = nullptr;
    const uint8_t* bits = nullptr;
    int width = 0, height = 0;
    int colours = 0;  // entries of its colour table
};

bool ViewDib(const uint8_t* p, size_t size, DibView* view) {
    PackedDibView dib;
    static_assert(kMaxStripRows == kDibMaxDimension, "a frame fits the strip when it is a DIB");
    if (!p || !ReadPackedDib(std::span<const uint8_t>(p, size), &dib))
        return false;
    view->info = reinterpret_cast<const BITMAPINFO*>(p);
    view->bits = dib.image.data();
    view->width = dib.width;
    view->height = dib.height < 0 ? -dib.height : dib.height;
    view->colours = static_cast<int>(dib.colors);
    return true;
}

// The colour as the display will show it: on 8 bits or fewer, the nearest of the application
// palette.
void ColourForDisplay(uint8_t rgb[3]) {
    if (GetDisplayBitsPerPixel() > 8)
        return;
    HPALETTE palette = GetAppPalette();
    if (!palette)
        return;
    PALETTEENTRY entry{};
    const UINT index = GetNearestPaletteIndex(palette, RGB(rgb[0], rgb[1], rgb[2]));
    if (index != CLR_INVALID && GetPaletteEntries(palette, index, 1, &entry) == 1) {
        rgb[0] = entry.peRed;
        rgb[1] = entry.peGreen;
        rgb[2] = entry.peBlue;
    }
}

void SetFilmLong(Handle film, uint32_t offset, uint32_t value) {
    HandleLock lock(film);
    SetU32(lock.bytes(), offset, value);
}

}  // namespace

void FreeFrameStrip(FrameStrip* strip) {
    if (strip->strip)
        DeleteObject(strip->strip);
    *strip = FrameStrip{};
}

std::vector<std::string> FindSeriesFiles(const char* path) {
    SeriesName series;
    if (!path || !SplitSeriesPath(path, &series))
        return {};
    const std::string pattern = series.folder + series.stem + "*" + series.extension;
    std::vector<std::string> digits;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            std::string d = SeriesDigitsOf(series, found.cFileName);
            if (!d.empty())
                digits.push_back(std::move(d));
        } while (digits.size() < kMaxSeriesFiles && FindNextFileA(search, &found));
        FindClose(search);
    }
    if (digits.size() < 2)
        return {};
    SortSeriesDigits(&digits);
    std::vector<std::string> files;
    files.reserve(digits.size());
    for (const std::string& d : digits)
        files.push_back(SeriesFilePath(series, d));
    return files;
}

bool StackSeriesFiles(const std::vector<std::string>& files, const RECT& crop, FrameStrip* out) {
    FreeFrameStrip(out);
    WaitCursor wait;
    HWND window = GetMainWindow();
    HBITMAP strip = nullptr;
    int width = 0, height = 0, capacity = 0, loaded = 0;
    for (const std::string& file : files) {
        HPALETTE palette = nullptr;
        OwnedGdiObject<HBITMAP> picture(LoadGraphicFile(file.c_str(), window, &palette, 0));
        if (palette)
            DeleteObject(palette);
        if (!picture)
            continue;
        RECT cut = crop;
        if (IsRectEmpty(&cut)) {
            const SIZE size = BitmapSizeOf(picture.get());
            cut = RECT{0, 0, size.cx, size.cy};
        }
        if (!strip) {
            width = cut.right - cut.left;
            height = cut.bottom - cut.top;
            // Frame rectangles are 16-bit: no more frames than fit below 32767 rows.
            capacity = height > 0 ? std::min<int>(static_cast<int>(files.size()), kMaxStripRows / height) : 0;
            strip = capacity > 0 ? NewStripBitmap(width, height * capacity, true) : nullptr;
            if (!strip)
                break;
        }
        if (loaded >= capacity)
            break;
        WindowDC screen(window);
        MemoryDC from(screen.get()), to(screen.get());
        SelectedObject a(from.get(), picture.get()), b(to.get(), strip);
        BitBlt(to.get(), 0, loaded * height, width, height, from.get(), cut.left, cut.top, SRCCOPY);
        // Right and bottom are exclusive, as for every other frame the player cuts from a strip.
        out->frames.push_back(FrameRect(0, loaded * height, width, (loaded + 1) * height));
        ++loaded;
    }
    if (loaded == 0) {
        if (strip)
            DeleteObject(strip);
        ShowAlert(IDS_ALERT_UNREADABLE_PICTURE);
        return false;
    }
    out->strip = loaded < capacity ? CutStrip(strip, width, loaded * height) : strip;
    return true;
}

FrameSourceResult GetSeriesFrames(const char* path, FrameStrip* out) {
    const std::vector<std::string> files = FindSeriesFiles(path);
    if (files.empty())
        return FrameSourceResult::NotThisSource;
    HBITMAP whole = nullptr;
    RECT crop{};
    const int confirmed = CropPictureFile(GetMainWindow(), path, &whole, &crop);
    if (whole)
        DeleteObject(whole);
    if (confirmed != 1)
        return FrameSourceResult::Cancelled;
    return StackSeriesFiles(files, crop, out) ? FrameSourceResult::Made : FrameSourceResult::Cancelled;
}

FrameSourceResult GetGifFrames(const char* path, FrameStrip* out) {
    FreeFrameStrip(out);
    if (!path || !IsAnimatedGif(path))
        return FrameSourceResult::NotThisSource;
    HGLOBAL block = nullptr;
    int count = 0, transparent = -1;
    const int read = LoadGifFrames(path, &block, &count, &transparent);
    GifFrameBlock frames(block, count);
    if (!read || frames.frames().empty())
        return FrameSourceResult::NotThisSource;

    // Each frame locked while the strip is made; those that are not whole DIBs are left out.
    struct Locked {
        HGLOBAL block;
        DibView view;
    };
    std::vector<Locked> dibs;
    int widest = 0, rows = 0;
    for (HGLOBAL f : frames.frames()) {
        DibView view;
        auto* p = f ? static_cast<const uint8_t*>(GlobalLock(f)) : nullptr;
        if (!p)
            continue;
        if (!ViewDib(p, GlobalSize(f), &view) || rows + view.height > kMaxStripRows) {
            GlobalUnlock(f);
            if (view.info)
                break;  // the strip is full
            continue;
        }
        dibs.push_back({f, view});
        widest = std::max(widest, view.width);
        rows += view.height;
    }
    struct Unlock {
        std::vector<Locked>& d;
        ~Unlock() {
            for (const Locked& l : d)
                GlobalUnlock(l.block);
        }
    } unlock{dibs};
    if (dibs.empty())
        return FrameSourceResult::NotThisSource;

    HBITMAP strip = NewStripBitmap(widest, rows, true);
    if (!strip)
        return FrameSourceResult::NotThisSource;
    {
        WindowDC screen(GetMainWindow());
        MemoryDC dc(screen.get());
        SelectedObject selected(dc.get(), strip);
        int top = 0;
        for (const Locked& l : dibs) {
            const DibView& v = l.view;
            StretchDIBits(dc.get(), 0, top, v.width, v.height, 0, 0, v.width, v.height, v.bits, v.info,
                          DIB_RGB_COLORS, SRCCOPY);
            out->frames.push_back(FrameRect(0, top, v.width, top + v.height));
            top += v.height;
        }
    }
    out->strip = strip;

    if (transparent >= 0) {
        const DibView& first = dibs.front().view;
        if (transparent < first.colours) {
            const RGBQUAD q = first.info->bmiColors[transparent];
            out->rgb[0] = q.rgbRed;
            out->rgb[1] = q.rgbGreen;
            out->rgb[2] = q.rgbBlue;
            out->transparent = true;
        } else {
            out->transparent = GifColorTableEntry(ReadPictureFile(path), transparent, out->rgb);
        }
        if (out->transparent)
            ColourForDisplay(out->rgb);
    }
    return FrameSourceResult::Made;
}

HBITMAP MaskedFrameOnColour(HBITMAP picture, HBITMAP mask, COLORREF colour) {
    const SIZE size = BitmapSizeOf(picture);
    if (!size.cx || !mask)
        return nullptr;
    HBITMAP result = NewStripBitmap(size.cx, size.cy, false);
    OwnedGdiObject<HBITMAP> inside(NewStripBitmap(size.cx, size.cy, false));
    if (!result || !inside)
        return result ? (DeleteObject(result), nullptr) : nullptr;
    WindowDC screen(GetMainWindow());
    MemoryDC pictureDc(screen.get()), maskDc(screen.get()), resultDc(screen.get()), insideDc(screen.get());
    SelectedObject a(pictureDc.get(), picture), b(maskDc.get(), mask), c(resultDc.get(), result),
        d(insideDc.get(), inside.get());
    // A one-bit source draws white as the background colour and black as the text colour.
    for (HDC dc : {resultDc.get(), insideDc.get()}) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
    }
    // The picture inside the mask, black outside it.
    BitBlt(insideDc.get(), 0, 0, size.cx, size.cy, pictureDc.get(), 0, 0, SRCCOPY);
    BitBlt(insideDc.get(), 0, 0, size.cx, size.cy, maskDc.get(), 0, 0, SRCAND);
    // The colour outside the mask, black inside it (destination and not source), then both.
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
    RECT all{0, 0, size.cx, size.cy};
    FillRect(resultDc.get(), &all, brush.get());
    BitBlt(resultDc.get(), 0, 0, size.cx, size.cy, maskDc.get(), 0, 0, 0x00220326);
    BitBlt(resultDc.get(), 0, 0, size.cx, size.cy, insideDc.get(), 0, 0, SRCPAINT);
    return result;
}

FrameSourceResult GetCroppedFrame(const char* path, FrameStrip* out) {
    FreeFrameStrip(out);
    HBITMAP bitmap = nullptr, mask = nullptr;
    CropKind kind = kCropRectangle;
    COLORREF colour = 0;
    const bool ok = CropPictureForAnimation(GetMainWindow(), path, &bitmap, &mask, &kind, &colour);
    OwnedGdiObject<HBITMAP> maskGuard(mask);
    if (!ok || !bitmap) {
        if (bitmap)
            DeleteObject(bitmap);
        return FrameSourceResult::Cancelled;
    }
    if (kind == kCropLasso && mask) {
        HBITMAP framed = MaskedFrameOnColour(bitmap, mask, colour);
        DeleteObject(bitmap);
        if (!framed)
            return FrameSourceResult::Cancelled;
        bitmap = framed;
        out->transparent = true;
        out->rgb[0] = GetRValue(colour);
        out->rgb[1] = GetGValue(colour);
        out->rgb[2] = GetBValue(colour);
    }
    const SIZE size = BitmapSizeOf(bitmap);
    out->strip = bitmap;
    out->frames = {FrameRect(0, 0, size.cx, size.cy)};
    return FrameSourceResult::Made;
}

Handle MakeStripFilm(FrameStrip* strip, bool fromFile) {
    OwnedGdiObject<HBITMAP> bitmap(strip->strip);
    strip->strip = nullptr;
    const SIZE size = BitmapSizeOf(bitmap.get());
    if (!size.cx || strip->frames.empty())
        return 0;
    const uint32_t now = GetTicks();
    Handle film = 0;
    if (NewFilmRecord(&film, fromFile ? kFilmMovie : kFilmStrip, AnimPair{ResType("GIFs"), now},
                      AnimPair{ResType("????"), now}) != 0)
        return 0;
    Handle rects = 0;
    if (AnimNewHandle(static_cast<uint32_t>(8 * strip->frames.size()), &rects) != 0) {
        DisposeFilm(film);
        return 0;
    }
    {
        HandleLock lock(rects);
        const std::span<uint8_t> r = lock.bytes();
        for (size_t i = 0; i < strip->frames.size(); ++i) {
            const ShortRect& f = strip->frames[i];
            SetU16(r, 8 * i, static_cast<uint16_t>(f.left));
            SetU16(r, 8 * i + 2, static_cast<uint16_t>(f.top));
            SetU16(r, 8 * i + 4, static_cast<uint16_t>(f.right));
            SetU16(r, 8 * i + 6, static_cast<uint16_t>(f.bottom));
        }
    }
    PixMap map;
    if (NewPixMap(&map, ShortRect{0, 0, static_cast<int16_t>(size.cx), static_cast<int16_t>(size.cy)},
                  GetDisplayBitsPerPixel(), false) != 0) {
        AnimDisposeHandle(rects);
        DisposeFilm(film);
        return 0;
    }
    SetPixMapBitmap(&map, bitmap.release());
    const Handle picture = NewPixMapHandle(map);
    if (!picture) {
        DisposePixMap(&map);
        AnimDisposeHandle(rects);
        DisposeFilm(film);
        return 0;
    }
    int error;
    {
        WaitCursor wait;
        error = SetFilmFrames(film, picture, rects);
    }
    AnimDisposeHandle(rects);
    if (error != 0) {
        if (PixMap* p = LockPixMapHandle(picture)) {
            DisposePixMap(p);
            UnlockPixMapHandle(picture);
        }
        AnimDisposeHandle(picture);
        DisposeFilm(film);
        return 0;
    }
    if (strip->transparent) {
        DropFilmMasks(film);
        const uint16_t rgb[3] = {strip->rgb[0], strip->rgb[1], strip->rgb[2]};
        if (SetFilmTransparentColor(film, rgb) != 0) {
            DisposeFilm(film);
            return 0;
        }
    } else {
        SetFilmMaskState(film, 0);
    }
    return film;
}

int MakeMovieFilm(const char* path, Handle* film) {
    *film = 0;
    if (!path)
        return -1;
    Handle reference = 0;
    if (!PackFilePath(path, &reference))
        return -1;
    const uint32_t now = GetTicks();
    Handle made = 0;
    int error = AnimPadHandleEven(reference);
    if (error == 0)
        error = NewFilmRecord(&made, kFilmMovie, AnimPair{ResType("MooV"), now}, AnimPair{ResType("????"), now});
    // The film as stored (no frame, the file reference as its frame block); opening it opens
    // the movie and makes its one frame the movie's box.
    if (error == 0)
        error = AnimAppendHandle(reference, made);
    if (error == 0) {
        SetFilmLong(made, kFilmFrameCount, 0);
        SetFilmLong(made, kFilmPictureLength, 0);
        SetFilmLong(made, kFilmFrameBlockLength, AnimGetHandleSize(reference));
        SetFilmLong(made, kFilmMaskLength, 0);
        error = UnflattenFilm(made);
    }
    AnimDisposeHandle(reference);
    if (error != 0) {
        DisposeFilm(made);
        return error;
    }
    CentreFilmAnchors(made);
    *film = made;
    return 0;
}
