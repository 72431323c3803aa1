// The pictures of films: each kind's methods (packing them into the stored blocks, making them
// again, disposing of them), frame pictures, transparent-colour masks and mirroring.
#include "media/animation/AnimPlayback.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/memory/ByteReader.h"
#include "media/MediaManager.h"
#include "format/StackFile.h"

namespace {

constexpr int kFlattenFailed = 5407;

uint32_t FrameAt(uint32_t index) { return kFilmFrames + kFilmFrameBytes * index; }

// Runs each on the film's bytes and the offset of every frame, when its masks are made
// (mask state 2).
template <typename Each>
void ForEachMaskedFrame(Handle film, Each each) {
    if (GetFilmMaskState(film) != 2)
        return;
    const uint32_t count = GetFilmFrameCount(film);
    HandleLock lock(film);
    const std::span<uint8_t> f = lock.bytes();
    for (uint32_t i = 0; i < count; ++i)
        each(f, FrameAt(i));
}

// The movies that kind-3 films draw from, by film.
std::vector<std::pair<Handle, MovieFrameSource*>> g_movies;

void CloseMovieOf(Handle film) {
    for (auto it = g_movies.begin(); it != g_movies.end(); ++it)
        if (it->first == film) {
            MovieFrameStop(it->second);
            MovieFrameClose(it->second);
            g_movies.erase(it);
            return;
        }
}

uint32_t FilmWord(Handle film, uint32_t offset) {
    HandleLock lock(film);
    return GetU32(lock.bytes(), offset);
}
void SetFilmWord(Handle film, uint32_t offset, uint32_t value) {
    HandleLock lock(film);
    SetU32(lock.bytes(), offset, value);
}
uint8_t FilmByte(Handle film, uint32_t offset) {
    HandleLock lock(film);
    return offset < lock.bytes().size() ? lock.bytes()[offset] : 0;
}
void SetFilmByte(Handle film, uint32_t offset, uint8_t value) {
    HandleLock lock(film);
    if (offset < lock.bytes().size())
        lock.bytes()[offset] = value;
}

// A map in a handle, with its bitmap unless the bitmap is a movie's (kept = false).
void DisposePixMapHandle(Handle h, bool deleteBitmap = true) {
    if (!h)
        return;
    if (PixMap* map = LockPixMapHandle(h)) {
        HBITMAP bitmap = nullptr;
        if (!deleteBitmap)
            DetachPixMapBitmap(map, &bitmap);
        DisposePixMap(map);
        UnlockPixMapHandle(h);
    }
    DisposeHandle(h);
}

void DeleteFrameBitmaps(Handle film) {
    const uint32_t count = GetFilmFrameCount(film);
    HandleLock lock(film);
    const std::span<uint8_t> f = lock.bytes();
    for (uint32_t i = 0; i < count && FrameAt(i) + kFilmFrameBytes <= f.size(); ++i)
        for (uint32_t at : {kFrameMask, kFrameMirrorMask}) {
            if (const uint32_t bitmap = GetU32(f, FrameAt(i) + at))
                DeleteObject(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(bitmap)));
            SetU32(f, FrameAt(i) + at, 0);
            SetU32(f, FrameAt(i) + at + 4, 0);
        }
}

HBITMAP AsBitmap(uint32_t value) { return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(value)); }
uint32_t AsWord(HBITMAP bitmap) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bitmap)); }

// Drops every picture the film holds; what stays is its record.
void ReleasePictures(Handle film) {
    const bool movie = GetFilmKind(film) == kFilmMovie;
    DeleteFrameBitmaps(film);
    DisposePixMapHandle(FilmWord(film, kFilmStripPicture), !movie);
    DisposePixMapHandle(FilmWord(film, kFilmMirrorPicture));
    DisposePixMapHandle(FilmWord(film, kFilmMaskPicture));
    AnimDisposeHandle(FilmWord(film, kFilmFramePictures));
    for (uint32_t at : {kFilmStripPicture, kFilmMirrorPicture, kFilmFramePictures, kFilmMaskPicture})
        SetFilmWord(film, at, 0);
    CloseMovieOf(film);
    SetFilmByte(film, kFilmMirrorReady, 0);
    SetFilmByte(film, kFilmMirrored, 0);
    SetFilmByte(film, kFilmPicturesOut, 0);
}

// A packed picture of the map in the handle (none: an empty block). 0 or -1.
int PackMap(Handle picture, std::vector<uint8_t>* block) {
    block->clear();
    if (!picture)
        return 0;
    PixMap* map = LockPixMapHandle(picture);
    if (!map)
        return -1;
    Handle packed = 0;
    const int result = LoadPackedPicture(map, kPPakLzrwRows, &packed, nullptr);
    UnlockPixMapHandle(picture);
    if (result != 0)
        return -1;
    *block = HandleToBytes(packed);
    DisposeHandle(packed);
    return 0;
}

// The frame masks laid out at their rectangles in a one-bit map of the strip's size.
Handle MaskPictureFromFrames(Handle film) {
    PixMap* strip = LockPixMapHandle(FilmWord(film, kFilmStripPicture));
    if (!strip)
        return 0;
    const ShortRect bounds = PixMapBounds(*strip);
    UnlockPixMapHandle(FilmWord(film, kFilmStripPicture));
    PixMap mask;
    if (NewPixMap(&mask, bounds, 1, true) != 0)
        return 0;
    BeginPixMapDraw(&mask);
    PatBlt(mask.dc, 0, 0, bounds.right, bounds.bottom, WHITENESS);
    HDC from = CreateCompatibleDC(mask.dc);
    const uint32_t count = GetFilmFrameCount(film);
    for (uint32_t i = 0; i < count && from; ++i) {
        ShortRect rect{};
        const HBITMAP frame = AsBitmap(GetFilmFrameBitmap(film, i));
        if (!frame || !GetFilmFrameRect(film, i, &rect))
            continue;
        HGDIOBJ previous = SelectObject(from, frame);
        BitBlt(mask.dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, from, 0, 0, SRCCOPY);
        SelectObject(from, previous);
    }
    if (from)
        DeleteDC(from);
    EndPixMapDraw(&mask);
    const Handle h = NewPixMapHandle(mask);
    if (!h)
        DisposePixMap(&mask);
    return h;
}

// Each frame's mask cut from the mask picture at the frame's rectangle.
int FrameMasksFromPicture(Handle film) {
    const Handle picture = FilmWord(film, kFilmMaskPicture);
    PixMap* mask = LockPixMapHandle(picture);
    if (!mask)
        return -1;
    int result = 0;
    BeginPixMapDraw(mask);
    HDC to = CreateCompatibleDC(mask->dc);
    const uint32_t count = GetFilmFrameCount(film);
    for (uint32_t i = 0; i < count && to; ++i) {
        ShortRect rect{};
        GetFilmFrameRect(film, i, &rect);
        const int width = std::max(1, rect.right - rect.left), height = std::max(1, rect.bottom - rect.top);
        HBITMAP frame = CreateBitmap(width, height, 1, 1, nullptr);
        if (!frame) {
            result = -1;
            break;
        }
        HGDIOBJ previous = SelectObject(to, frame);
        BitBlt(to, 0, 0, width, height, mask->dc, rect.left, rect.top, SRCCOPY);
        SelectObject(to, previous);
        if (const uint32_t old = GetFilmFrameBitmap(film, i))
            DeleteObject(AsBitmap(old));
        SetFilmFrameBitmap(film, i, AsWord(frame));
    }
    if (to)
        DeleteDC(to);
    else
        result = -1;
    EndPixMapDraw(mask);
    UnlockPixMapHandle(picture);
    return result;
}

// ---- The methods of each kind ----

int FlattenStrip(Handle film) {
    std::vector<uint8_t> picture, frames, mask;
    if (GetFilmMaskState(film) == 2 && !FilmWord(film, kFilmMaskPicture))
        SetFilmWord(film, kFilmMaskPicture, MaskPictureFromFrames(film));
    if (PackMap(FilmWord(film, kFilmStripPicture), &picture) != 0 || PackMap(FilmWord(film, kFilmMaskPicture), &mask) != 0)
        return kFlattenFailed;
    if (GetFilmKind(film) == kFilmPerFrame) {
        frames = HandleToBytes(FilmWord(film, kFilmFramePictures));
        if (frames.size() % 2)
            frames.push_back(0);
    }
    ReleasePictures(film);
    const uint32_t fixed = FilmBytesFor(GetFilmFrameCount(film));
    if (AnimSetHandleSize(film, fixed) != 0 || AnimAppendBytes(picture, film) != 0 ||
        AnimAppendBytes(frames, film) != 0 || AnimAppendBytes(mask, film) != 0)
        return -1;
    SetFilmWord(film, kFilmPictureLength, static_cast<uint32_t>(picture.size()));
    SetFilmWord(film, kFilmFrameBlockLength, static_cast<uint32_t>(frames.size()));
    SetFilmWord(film, kFilmMaskLength, static_cast<uint32_t>(mask.size()));
    return 0;
}

int FlattenMovie(Handle film) {
    const std::vector<uint8_t> reference = HandleToBytes(FilmWord(film, kFilmFramePictures));
    ReleasePictures(film);
    // A movie film is stored without frames: its one frame is the movie's box when it opens.
    SetFilmWord(film, kFilmFrameCount, 0);
    if (AnimSetHandleSize(film, kFilmFixedBytes) != 0 || AnimAppendBytes(reference, film) != 0)
        return -1;
    SetFilmWord(film, kFilmPictureLength, 0);
    SetFilmWord(film, kFilmFrameBlockLength, static_cast<uint32_t>(reference.size()));
    SetFilmWord(film, kFilmMaskLength, 0);
    return 0;
}

// The blocks after the frames, copied out of the film.
struct Blocks {
    std::vector<uint8_t> picture, frames, mask;
};
Blocks TakeBlocks(Handle film) {
    HandleLock lock(film);
    const FilmBlocks stored = StoredFilmBlocks(lock.bytes());
    return {{stored.picture.begin(), stored.picture.end()},
            {stored.frames.begin(), stored.frames.end()},
            {stored.mask.begin(), stored.mask.end()}};
}

int CutToFrames(Handle film, uint32_t count) {
    SetFilmWord(film, kFilmFrameCount, count);
    for (uint32_t at : {kFilmPictureLength, kFilmFrameBlockLength, kFilmMaskLength})
        SetFilmWord(film, at, 0);
    return AnimSetHandleSize(film, FilmBytesFor(count));
}

int UnflattenStrip(Handle film) {
    const Blocks blocks = TakeBlocks(film);
    Handle strip = 0, mask = 0, frames = 0;
    if (!blocks.picture.empty() &&
        PreparePictureObject(blocks.picture, static_cast<uint32_t>(blocks.picture.size()), &strip) != 0)
        return -1;
    if (!blocks.mask.empty() && PreparePictureObject(blocks.mask, static_cast<uint32_t>(blocks.mask.size()), &mask) != 0) {
        DisposePixMapHandle(strip);
        return -1;
    }
    if (GetFilmKind(film) == kFilmPerFrame && AnimPtrToHandle(blocks.frames, &frames) != 0) {
        DisposePixMapHandle(strip);
        DisposePixMapHandle(mask);
        return -1;
    }
    SetFilmWord(film, kFilmStripPicture, strip);
    SetFilmWord(film, kFilmMaskPicture, mask);
    SetFilmWord(film, kFilmFramePictures, frames);
    SetFilmByte(film, kFilmPicturesOut, 1);
    if (CutToFrames(film, GetFilmFrameCount(film)) != 0)
        return -1;
    if (GetFilmMaskState(film) == 2) {
        if (mask)
            return FrameMasksFromPicture(film);
        uint16_t rgb[3];
        GetFilmTransparentColor(film, rgb);
        return SetFilmTransparentColor(film, rgb) == 0 ? 0 : -1;
    }
    return 0;
}

int UnflattenMovie(Handle film) {
    const Blocks blocks = TakeBlocks(film);
    Handle reference = 0;
    if (AnimPtrToHandle(blocks.frames, &reference) != 0)
        return -1;
    SetFilmWord(film, kFilmFramePictures, reference);
    SetFilmByte(film, kFilmPicturesOut, 1);
    MovieFrameSource* source = nullptr;
    int16_t box[4] = {};
    if (MovieFrameOpen(blocks.frames, &source, box) != 0)
        return -1;
    g_movies.push_back({film, source});
    Handle picture = 0;
    if (NewPixMapFromGraphicFile(&picture, source) != 0)
        return -1;
    SetFilmWord(film, kFilmStripPicture, picture);
    if (CutToFrames(film, 1) != 0)
        return -1;
    HandleLock lock(film);
    for (int i = 0; i < 4; ++i)
        SetU16(lock.bytes(), FrameAt(0) + kFrameRect + 2 * i, static_cast<uint16_t>(box[i]));
    return 0;
}

void DisposePictures(Handle film) { ReleasePictures(film); }

MovieFrameSource* MovieOf(Handle film) {
    for (const auto& [owner, source] : g_movies)
        if (owner == film)
            return source;
    return nullptr;
}

// The frame's part of the picture through the frame's mask, whose origin is the frame's corner.
void CopyFramePart(PixMap* picture, Handle film, uint32_t index, PixMap* target, const ShortRect& source,
                   const ShortRect& destination) {
    ShortRect frame{};
    const HBITMAP mask = GetFilmMaskState(film) > 0 ? AsBitmap(GetFilmFrameBitmap(film, index)) : nullptr;
    if (mask && GetFilmFrameRect(film, index, &frame))
        CopyPixMapBitsMasked(picture, target, source, destination, mask,
                             POINT{source.left - frame.left, source.top - frame.top});
    else
        CopyPixMapRect(picture, target, source, destination, nullptr);
}

int DrawStrip(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination) {
    const Handle strip = FilmWord(film, kFilmStripPicture);
    PixMap* picture = LockPixMapHandle(strip);
    if (!picture)
        return -1;
    CopyFramePart(picture, film, index, target, source, destination);
    UnlockPixMapHandle(strip);
    return 0;
}

// Frame 0 is the strip picture; each later one is unpacked from the frame block when drawn.
int DrawPerFrame(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination) {
    if (index == 0)
        return DrawStrip(film, index, target, source, destination);
    std::vector<uint8_t> packed;
    {
        const std::vector<uint8_t> block = HandleToBytes(FilmWord(film, kFilmFramePictures));
        HandleLock lock(film);
        const std::span<const uint8_t> frame = FramePictureInBlock(lock.bytes(), block, index);
        if (frame.empty())
            return -1;
        packed.assign(frame.begin(), frame.end());
    }
    Handle picture = 0;
    if (PreparePictureObject(packed, static_cast<uint32_t>(packed.size()), &picture) != 0)
        return -1;
    if (PixMap* map = LockPixMapHandle(picture)) {
        CopyFramePart(map, film, index, target, source, destination);
        UnlockPixMapHandle(picture);
    }
    DisposePixMapHandle(picture);
    return 0;
}

// The movie runs into the strip picture's bitmap; each draw gives it time first.
int DrawMovie(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination) {
    MovieFrameTask(MovieOf(film));
    return DrawStrip(film, index, target, source, destination);
}

int NoBounds(Handle, uint32_t, ShortRect*) { return 0; }

void ForEachPicture(Handle film, void (*each)(PixMap*)) {
    for (uint32_t at : {kFilmStripPicture, kFilmMirrorPicture, kFilmMaskPicture}) {
        const Handle h = FilmWord(film, at);
        if (PixMap* map = LockPixMapHandle(h)) {
            each(map);
            UnlockPixMapHandle(h);
        }
    }
}
void LockPictures(Handle film) { ForEachPicture(film, BeginPixMapDraw); }
void UnlockPictures(Handle film) { ForEachPicture(film, EndPixMapDraw); }
void LockMovie(Handle film) {
    MovieFrameRewind(MovieOf(film));
    LockPictures(film);
}
void UnlockMovie(Handle film) {
    MovieFrameStop(MovieOf(film));
    UnlockPictures(film);
}

// The slots of a film kind's method table that this program calls.
struct FilmMethodTable {
    int (*flatten)(Handle film);
    int (*unflatten)(Handle film);
    int (*draw)(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination);
    int (*bounds)(Handle film, uint32_t index, ShortRect* bounds);
    void (*lock)(Handle film);
    void (*unlock)(Handle film);
    void (*dispose)(Handle film);
};
constexpr FilmMethodTable kStripMethods = {FlattenStrip, UnflattenStrip, DrawStrip, NoBounds,
                                           LockPictures, UnlockPictures, DisposePictures};
constexpr FilmMethodTable kPerFrameMethods = {FlattenStrip, UnflattenStrip, DrawPerFrame, NoBounds,
                                              LockPictures, UnlockPictures, DisposePictures};
constexpr FilmMethodTable kMovieMethods = {FlattenMovie, UnflattenMovie, DrawMovie, NoBounds,
                                           LockMovie, UnlockMovie, DisposePictures};

// The table installed in the film; none before InstallFilmMethods.
const FilmMethodTable* MethodsOf(Handle film) {
    HandleLock lock(film);
    const uint16_t installed = GetU16(lock.bytes(), kFilmMethods);
    if (installed == 0)
        return nullptr;
    switch (installed - 1) {
    case kFilmMovie: return &kMovieMethods;
    case kFilmPerFrame: return &kPerFrameMethods;
    default: return &kStripMethods;
    }
}

HBITMAP MirroredBitmap(HBITMAP source, bool horizontal, bool vertical) {
    BITMAP info{};
    if (!source || !GetObjectA(source, sizeof info, &info))
        return nullptr;
    HBITMAP copy = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    if (copy && from && to) {
        HGDIOBJ a = SelectObject(from, source), b = SelectObject(to, copy);
        StretchBlt(to, horizontal ? info.bmWidth - 1 : 0, vertical ? info.bmHeight - 1 : 0,
                   horizontal ? -info.bmWidth : info.bmWidth, vertical ? -info.bmHeight : info.bmHeight, from, 0, 0,
                   info.bmWidth, info.bmHeight, SRCCOPY);
        SelectObject(from, a);
        SelectObject(to, b);
    }
    if (from)
        DeleteDC(from);
    if (to)
        DeleteDC(to);
    return copy;
}

// Each frame turns within its own rectangle: frames narrower than the strip (a GIF's) keep
// their place, as their rectangles and masks do. A rectangle two frames share turns once.
void FlipStrip(Handle film, Handle picture, bool horizontal, bool vertical) {
    PixMap* map = LockPixMapHandle(picture);
    if (!map)
        return;
    const uint32_t count = GetFilmFrameCount(film);
    std::vector<ShortRect> turned;
    for (uint32_t i = 0; i < count; ++i) {
        ShortRect rect{};
        if (!GetFilmFrameRect(film, i, &rect))
            continue;
        const auto same = [&](const ShortRect& r) {
            return r.left == rect.left && r.top == rect.top && r.right == rect.right && r.bottom == rect.bottom;
        };
        if (std::any_of(turned.begin(), turned.end(), same))
            continue;
        turned.push_back(rect);
        if (horizontal)
            FlipPixMap(map, rect, true);
        if (vertical)
            FlipPixMap(map, rect, false);
    }
    UnlockPixMapHandle(picture);
}

}  // namespace

int NullObjectMethod(Handle) { return 0; }

int FlattenFilm(Handle film) {
    const FilmMethodTable* methods = MethodsOf(film);
    if (!methods || !FilmByte(film, kFilmPicturesOut))
        return 0;
    return methods->flatten(film);
}

int UnflattenFilm(Handle film) {
    const FilmMethodTable* methods = MethodsOf(film);
    if (!methods || FilmByte(film, kFilmPicturesOut))
        return 0;
    return methods->unflatten(film);
}

void DisposeFilm(Handle film) {
    if (!film)
        return;
    if (const FilmMethodTable* methods = MethodsOf(film))
        methods->dispose(film);
    AnimDisposeHandle(film);
}

int DrawFilmFrame(Handle film, uint32_t index, PixMap* target, const ShortRect& source, const ShortRect& destination) {
    const FilmMethodTable* methods = MethodsOf(film);
    if (!methods || !target || !FilmByte(film, kFilmPicturesOut))
        return -1;
    return methods->draw(film, index, target, source, destination);
}

void LockFilm(Handle film) {
    if (const FilmMethodTable* methods = MethodsOf(film); methods && FilmByte(film, kFilmPicturesOut))
        methods->lock(film);
}

void UnlockFilm(Handle film) {
    if (const FilmMethodTable* methods = MethodsOf(film); methods && FilmByte(film, kFilmPicturesOut))
        methods->unlock(film);
}

bool IsFilmMovieDone(Handle film) { return MovieFrameDone(MovieOf(film)); }
void RewindFilmMovie(Handle film) { MovieFrameRewind(MovieOf(film)); }
void StopFilmMovie(Handle film) { MovieFrameStop(MovieOf(film)); }

void SetSpriteFilm(Handle sprite, Handle film) {
    const Handle old = SwapSpriteFilm(sprite, film);
    if (old && old != film)
        DisposeFilm(old);
}

int SetFilmFramePictures(Handle film, Handle pictures) {
    const uint32_t n = AnimGetHandleSize(pictures) / 4;
    ShortRect first{};
    if (n == 0 || !GetFilmFrameRect(film, 0, &first) || !FilmBytesFor(n + 1) ||
        AnimSetHandleSize(film, FilmBytesFor(n + 1)) != 0)
        return -1;
    const std::vector<uint8_t> list = HandleToBytes(pictures);
    std::vector<uint8_t> block;
    uint32_t filled = 0;
    for (uint32_t i = 0; i < n; ++i) {
        std::vector<uint8_t> packed;
        if (PackMap(GetU32(list, 4 * i), &packed) != 0 || packed.empty())
            break;
        HandleLock lock(film);
        const std::span<uint8_t> f = lock.bytes();
        const uint32_t at = FrameAt(i + 1);
        std::fill(f.begin() + at, f.begin() + at + kFilmFrameBytes, uint8_t{0});
        for (int k = 0; k < 4; ++k)
            SetU16(f, at + kFrameRect + 2 * k, static_cast<uint16_t>((&first.left)[k]));
        SetU32(f, at + kFramePictureOffset, static_cast<uint32_t>(block.size()));
        SetU32(f, at + kFramePictureLength, static_cast<uint32_t>(packed.size()));
        block.insert(block.end(), packed.begin(), packed.end());
        ++filled;
    }
    Handle frames = 0;
    if (AnimPtrToHandle(block, &frames) != 0)
        return -1;
    AnimDisposeHandle(FilmWord(film, kFilmFramePictures));
    SetFilmWord(film, kFilmFramePictures, frames);
    {
        HandleLock lock(film);
        SetU16(lock.bytes(), kFilmKind, kFilmPerFrame);
        SetU32(lock.bytes(), kFilmFrameCount, filled + 1);
        lock.bytes()[kFilmPicturesOut] = 1;
    }
    AnimSetHandleSize(film, FilmBytesFor(filled + 1));
    CentreFilmAnchors(film);
    InstallFilmMethods(film);
    if (FlattenFilm(film) != 0 || UnflattenFilm(film) != 0)
        return -1;
    return filled ? 0 : -1;
}

int SetFilmTransparentColor(Handle film, const uint16_t* rgb) {
    if (!rgb) {
        DropFilmMasks(film);
        return 0;
    }
    const Handle picture = FilmWord(film, kFilmStripPicture);
    PixMap* strip = LockPixMapHandle(picture);
    if (!strip)
        return -1;
    const MacRgbColor colour = {{static_cast<uint8_t>(rgb[0]), static_cast<uint8_t>(rgb[0])},
                                {static_cast<uint8_t>(rgb[1]), static_cast<uint8_t>(rgb[1])},
                                {static_cast<uint8_t>(rgb[2]), static_cast<uint8_t>(rgb[2])}};
    int result = 0;
    const uint32_t count = GetFilmFrameCount(film);
    for (uint32_t i = 0; i < count && result == 0; ++i) {
        ShortRect rect{};
        PixMap mask;
        GetFilmFrameRect(film, i, &rect);
        result = MaskFromPixMapColor(strip, rect, &colour, &mask);
        HBITMAP bitmap = nullptr;
        if (result == 0 && DetachPixMapBitmap(&mask, &bitmap) != 0)
            result = -1;
        DisposePixMap(&mask);
        if (result == 0) {
            if (const uint32_t old = GetFilmFrameBitmap(film, i))
                DeleteObject(AsBitmap(old));
            SetFilmFrameBitmap(film, i, AsWord(bitmap));
        }
    }
    UnlockPixMapHandle(picture);
    if (result != 0) {
        DropFilmMasks(film);
        const uint16_t black[3] = {0, 0, 0};
        StoreFilmTransparentColor(film, black);
        return result;
    }
    SetFilmMaskState(film, 2);
    StoreFilmTransparentColor(film, rgb);
    return 0;
}

void DropFilmMasks(Handle film) {
    DeleteFrameBitmaps(film);
    DisposePixMapHandle(FilmWord(film, kFilmMaskPicture));
    SetFilmWord(film, kFilmMaskPicture, 0);
    SetFilmMaskState(film, 0);
}

int PrepareFilmMirror(Handle film, bool horizontal, bool vertical) {
    SetFilmByte(film, kFilmMirrorH, horizontal ? 1 : 0);
    SetFilmByte(film, kFilmMirrorV, vertical ? 1 : 0);
    if (FilmByte(film, kFilmKeepMirror)) {
        PixMap* strip = LockPixMapHandle(FilmWord(film, kFilmStripPicture));
        PixMap copy;
        const int copied = strip ? CopyPixMapRecord(*strip, &copy) : -1;
        UnlockPixMapHandle(FilmWord(film, kFilmStripPicture));
        if (copied != 0)
            return -1;
        const Handle mirror = NewPixMapHandle(copy);
        if (!mirror) {
            DisposePixMap(&copy);
            return -1;
        }
        DisposePixMapHandle(FilmWord(film, kFilmMirrorPicture));
        SetFilmWord(film, kFilmMirrorPicture, mirror);
        FlipStrip(film, mirror, horizontal, vertical);
    }
    ForEachMaskedFrame(film, [&](std::span<uint8_t> f, uint32_t at) {
        if (const uint32_t old = GetU32(f, at + kFrameMirrorMask))
            DeleteObject(AsBitmap(old));
        SetU32(f, at + kFrameMirrorMask, AsWord(MirroredBitmap(AsBitmap(GetU32(f, at + kFrameMask)), horizontal, vertical)));
        SetU32(f, at + kFrameMirrorOffset, GetU32(f, at + kFrameMaskOffset));
    });
    SetFilmByte(film, kFilmMirrorReady, 1);
    SetFilmByte(film, kFilmMirrored, 0);
    return 0;
}

void ToggleFilmMirror(Handle film, bool onlyWhenMirrored) {
    if (!FilmByte(film, kFilmMirrorReady) || (onlyWhenMirrored && !FilmByte(film, kFilmMirrored)))
        return;
    if (const Handle mirror = FilmWord(film, kFilmMirrorPicture)) {
        SetFilmWord(film, kFilmMirrorPicture, FilmWord(film, kFilmStripPicture));
        SetFilmWord(film, kFilmStripPicture, mirror);
    } else {
        FlipStrip(film, FilmWord(film, kFilmStripPicture), FilmByte(film, kFilmMirrorH), FilmByte(film, kFilmMirrorV));
    }
    ForEachMaskedFrame(film, [](std::span<uint8_t> f, uint32_t at) {
        for (auto [a, b] : {std::pair{kFrameMask, kFrameMirrorMask}, std::pair{kFrameMaskOffset, kFrameMirrorOffset}}) {
            const uint32_t t = GetU32(f, at + a);
            SetU32(f, at + a, GetU32(f, at + b));
            SetU32(f, at + b, t);
        }
    });
    SetFilmByte(film, kFilmMirrored, FilmByte(film, kFilmMirrored) ? 0 : 1);
}

bool IsFilmMirrored(Handle film) { return FilmByte(film, kFilmMirrorReady) && FilmByte(film, kFilmMirrored); }
