// The system clipboard: bitmaps go there as CF_DIB and CF_BITMAP for other programs; selections,
// objects and cards stay inside, announced by the marker format.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "stack/clipboard/ClipboardDib.h"
#include "format/StackFile.h"

namespace {

constexpr char kMarkerName[] = "Pageloom Internal Clipboard";
UINT g_marker = 0;

uint32_t Id(HGDIOBJ object) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object)); }

// The card window when there is one (the clipboard's owner), else none.
HWND OwnerWindow() {
    const HWND window = GetCardWindow();
    return window && IsWindow(window) ? window : nullptr;
}

// The clipboard opened for the card window for one scope.
class OpenedClipboard {
public:
    OpenedClipboard() : open_(OpenClipboard(OwnerWindow()) != FALSE) {}
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// The marker, whose presence is all: one byte, put at once. Never for delayed rendering: a reader
// of a delayed format (another process, or the system's clipboard manager handing the contents
// on) sends the owner WM_RENDERFORMAT and waits for its thread, which may itself be waiting for
// that reader (a page closing, a process started and waited for), and neither goes on.
void PutMarker() {
    if (!g_marker)
        return;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 1))
        if (!SetClipboardData(g_marker, block))
            GlobalFree(block);
}

// A device bitmap from checked packed DIB bytes, with the application palette.
HBITMAP BitmapFromDibBytes(std::span<const uint8_t> dib) {
    ClipboardDibLayout layout;
    if (!CheckClipboardDib(dib, &layout))
        return nullptr;
    const HWND window = GetCardWindow();
    const HDC dc = GetDC(window);
    if (!dc)
        return nullptr;
    const HPALETTE palette = GetAppPalette();
    const HPALETTE old = palette ? SelectPalette(dc, palette, FALSE) : nullptr;
    if (palette)
        RealizePalette(dc);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const HBITMAP bitmap = CreateCompatibleBitmap(dc, layout.width, layout.height);
    if (bitmap)
        SetDIBits(dc, bitmap, 0, static_cast<UINT>(layout.height), dib.data() + layout.bitsOffset, info,
                  DIB_RGB_COLORS);
    if (old)
        SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
    return bitmap;
}

}  // namespace

HBITMAP BitmapFromDibHandle(Handle dib) {
    HandleLock lock(dib);
    return lock ? BitmapFromDibBytes(lock.bytes()) : nullptr;
}

// CF_DIB (checked against its block's size), else a copy of CF_BITMAP; null when neither.
HBITMAP ForeignBitmap() {
    OpenedClipboard open;
    if (!open)
        return nullptr;
    if (IsClipboardFormatAvailable(CF_DIB)) {
        const HGLOBAL block = GetClipboardData(CF_DIB);
        const auto* p = block ? static_cast<const uint8_t*>(GlobalLock(block)) : nullptr;
        if (!p)
            return nullptr;
        const HBITMAP bitmap = BitmapFromDibBytes({p, GlobalSize(block)});
        GlobalUnlock(block);
        return bitmap;
    }
    const HBITMAP shared = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    return shared ? DuplicateBitmap(shared) : nullptr;
}

void EmptySystemClipboard() {
    OpenedClipboard open;
    if (open)
        EmptyClipboard();
}

void MarkSystemClipboard() {
    OpenedClipboard open;
    if (!open)
        return;
    EmptyClipboard();
    PutMarker();
}

HGLOBAL GlobalCopyOfHandle(Handle h) {
    HandleLock lock(h);
    const uint32_t size = GetHandleSize(h);
    HGLOBAL block = lock && size ? GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
    if (void* p = block ? GlobalLock(block) : nullptr) {
        std::memcpy(p, lock.get(), size);
        GlobalUnlock(block);
    }
    return block;
}

unsigned RegisterClipboardMarker() {
    if (!g_marker)
        g_marker = RegisterClipboardFormatA(kMarkerName);
    return g_marker;
}

bool IsClipboardMarkerPresent() { return g_marker && IsClipboardFormatAvailable(g_marker); }

void PutBitmapOnClipboard(HBITMAP bitmap, int x, int y) {
    ClearClipboard();
    InternalClipboard& c = Clip();
    c.dib = DibFromDeviceBitmap(bitmap, 24, GetAppPalette());
    if (!c.dib)
        return;
    if (const HBITMAP copy = DuplicateBitmap(bitmap)) {
        OpenedClipboard open;
        HGLOBAL dib = open ? GlobalCopyOfHandle(c.dib) : nullptr;
        if (open) {
            EmptyClipboard();
            if (dib && !SetClipboardData(CF_DIB, dib))
                GlobalFree(dib);
            if (!SetClipboardData(CF_BITMAP, copy))
                DeleteObject(copy);
            PutMarker();
        } else {
            DeleteObject(copy);
        }
    }
    c.kind = kClipBitmap;
    c.tool = GetCurrentTool();
    c.x = x;
    c.y = y;
}

void CopyPaintSelection(HBITMAP bitmap, HBITMAP mask, HBITMAP outline, int x, int y) {
    SetClipboardMarker();
    ClearInternalClipboard();
    InternalClipboard& c = Clip();
    c.dib = DibFromDeviceBitmap(bitmap, 0, GetAppPalette());
    c.mask = Id(DuplicateBitmap(mask));
    c.outline = Id(DuplicateBitmap(outline));
    c.kind = c.dib ? kClipSelection : kClipNone;
    c.tool = GetCurrentTool();
    c.x = x;
    c.y = y;
}

// The layer's kind and id, and the action resource of a text object (word 21) or graphic (24).
void CopyObjectToClipboard(HGLOBAL descriptor) {
    const auto* words = descriptor ? static_cast<const uint16_t*>(GlobalLock(descriptor)) : nullptr;
    if (!words)
        return;
    const size_t count = GlobalSize(descriptor) / 2;
    const uint16_t kind = count > 2 ? words[2] : 0, id = count > 3 ? words[3] : 0;
    uint16_t action = 0;
    if (kind == kObjectText && count > 21)
        action = words[21];
    else if (kind == kObjectGraphic && count > 24)
        action = words[24];
    GlobalUnlock(descriptor);
    CopyObjectRecordToClipboard(kind, id, action);
}
