// Metafile files read through an unnamed mapping and played into bitmaps.
#include "media/support/MetafileRender.h"

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/memory/HandlesGlobal.h"
#include "core/ui/GdiGuards.h"
#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

// Files above this are no metafile a card could show.
constexpr DWORD kMaxMetafileBytes = 64u << 20;

// The current card's width and height words, or the limits without a card.
SIZE CardLimits() {
    SIZE limits{kMetafileNoCardLimit, kMetafileNoCardLimit};
    const Handle card = GetCurrentCardRecord();
    HandleLock lock(card);
    if (card && lock && GetHandleSize(card) >= kMinCardRecordBytes) {
        limits.cx = GetU16(lock.bytes(), kCardWidth);
        limits.cy = GetU16(lock.bytes(), kCardHeight);
    }
    return limits;
}

}  // namespace

MappedFile::MappedFile(const char* path) {
    if (!path)
        return;
    file_ = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE)
        return;
    DWORD high = 0;
    const DWORD size = GetFileSize(file_, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size == 0 || size > kMaxMetafileBytes)
        return;
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_)
        return;
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    if (view_)
        bytes_ = {static_cast<const uint8_t*>(view_), size};
}

MappedFile::~MappedFile() {
    if (view_)
        UnmapViewOfFile(view_);
    if (mapping_)
        CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
}

bool PlayMetafileInto(HDC dc, std::span<const uint8_t> file, const MetafileLayout& layout, int width, int height) {
    if (!dc || (layout.kind != MetafileKind::Windows && layout.kind != MetafileKind::Placeable) || width <= 0 ||
        height <= 0 || layout.bitsOffset > file.size() || layout.bitsSize > file.size() - layout.bitsOffset)
        return false;
    HMETAFILE metafile = SetMetaFileBitsEx(static_cast<UINT>(layout.bitsSize), file.data() + layout.bitsOffset);
    if (!metafile)
        return false;
    const int saved = SaveDC(dc);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, layout.left, layout.top, nullptr);
    SetWindowExtEx(dc, layout.right - layout.left, layout.bottom - layout.top, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    const BOOL played = PlayMetaFile(dc, metafile);
    RestoreDC(dc, saved);
    DeleteMetaFile(metafile);
    return played != FALSE;
}

HGLOBAL RenderMetafile(std::span<const uint8_t> file, int limitWidth, int limitHeight) {
    const MetafileLayout layout = ReadMetafileLayout(file);
    if (layout.kind != MetafileKind::Windows && layout.kind != MetafileKind::Placeable)
        return nullptr;
    const MetafileSize size = MetafileBitmapSize(layout, limitWidth, limitHeight);
    if (size.width <= 0 || size.height <= 0)
        return nullptr;
    WindowDC screen(GetCardWindow());
    MemoryDC memory(screen.get());
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), size.width, size.height));
    if (!screen || !memory || !bitmap)
        return nullptr;
    bool played = false;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        PatBlt(memory.get(), 0, 0, size.width, size.height, WHITENESS);
        played = PlayMetafileInto(memory.get(), file, layout, size.width, size.height);
    }
    if (!played)
        return nullptr;
    const DibHandle dib = GetBitmapDibBits(memory.get(), bitmap.get(), 24, GetAppPalette());
    if (!dib)
        return nullptr;
    HGLOBAL block = HandleToGlobal(dib);
    DisposeHandle(dib);
    return block;
}

HGLOBAL RenderMetafileFile(const char* path) {
    const MappedFile mapped(path);
    const SIZE limits = CardLimits();
    return RenderMetafile(mapped.bytes(), limits.cx, limits.cy);
}
