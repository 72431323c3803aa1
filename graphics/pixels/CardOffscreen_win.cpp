// The card offscreen, its shared memory DC, the clip region and the layer mask.
#include "graphics/pixels/CardOffscreen.h"

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/GraphicsErrors.h"

namespace {

constexpr uint32_t kStringNoDc = 4029;      // "InitDataBase: failed to create DC"
constexpr uint32_t kStringNoBitmap = 4030;  // "InitDataBase: insufficient ram for screen bitmap"
constexpr int kExtraRows = 2;
constexpr COLORREF kPaletteWhite = 0x02FFFFFF;

struct Offscreen {
    HWND window = nullptr;
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0, depth = 0;
    HDC dc = nullptr;
    int useCount = 0;
    HPALETTE previousPalette = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HRGN clip = nullptr;
    HBITMAP layerMask = nullptr;
};
Offscreen g;

// While the shared DC lives it holds the offscreen: a new bitmap takes its place there first,
// so the old one is no longer selected when its owner deletes it.
void SelectIntoSharedDc(HBITMAP bitmap) {
    if (g.useCount > 0 && g.dc && bitmap)
        SelectObject(g.dc, bitmap);
}

void DeleteSharedDc() {
    if (g.previousPalette)
        SelectPalette(g.dc, g.previousPalette, FALSE);
    if (g.previousBitmap)
        SelectObject(g.dc, g.previousBitmap);
    DeleteDC(g.dc);
    g.dc = nullptr;
    g.useCount = 0;
    g.previousPalette = nullptr;
    g.previousBitmap = nullptr;
}

}  // namespace

int InitDataBase(HWND window, int width, int height, int depth, bool report) {
    if (g.bitmap && !(g.useCount > 0)) {
        DeleteObject(g.bitmap);
        g.bitmap = nullptr;
    }
    g.width = g.height = g.depth = 0;
    g.window = window;
    WindowDC windowDc(window);
    SetCardClipRegion(CreateRectRgn(0, 0, width, height));
    MemoryDC memory(windowDc.get());
    if (!windowDc || !memory) {
        if (report)
            ShowGraphicsError(kStringNoDc);
        return 0;
    }
    SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    HBITMAP bitmap = width > 0 && height > 0 ? CreateCompatibleBitmap(windowDc.get(), width, height + kExtraRows) : nullptr;
    if (!bitmap && width > 0 && height > 0) {
        GlobalCompact(static_cast<DWORD>(width) * static_cast<DWORD>(height));
        bitmap = CreateCompatibleBitmap(windowDc.get(), width, height + kExtraRows);
    }
    if (!bitmap) {
        if (report)
            ShowGraphicsError(kStringNoBitmap);
        return 0;
    }
    {
        SelectedObject selected(memory.get(), bitmap);
        // FillRect, not a null-pen Rectangle, which stops a pixel short and left the last row.
        OwnedGdiObject<HBRUSH> white(CreateSolidBrush(kPaletteWhite));
        const RECT whole = {0, 0, width, height + kExtraRows};
        FillRect(memory.get(), &whole, white.get());
    }
    // A DC still acquired keeps drawing into the offscreen: it takes the new bitmap.
    HBITMAP old = g.bitmap;
    SelectIntoSharedDc(bitmap);
    if (old)
        DeleteObject(old);
    g.bitmap = bitmap;
    g.width = width;
    g.height = height;
    g.depth = depth;
    return 1;
}

HWND GetCardWindow() { return g.window; }

HBITMAP GetOffscreenBitmap() { return g.bitmap; }

void SetOffscreenBitmap(HBITMAP bitmap) {
    SelectIntoSharedDc(bitmap);
    g.bitmap = bitmap;
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmHeight > kExtraRows) {
        g.width = info.bmWidth;
        g.height = info.bmHeight - kExtraRows;
        g.depth = info.bmPlanes * info.bmBitsPixel;
    } else {
        g.width = g.height = g.depth = 0;
    }
}

void GetOffscreenSize(int* width, int* height, int* depth) {
    const bool known = g.bitmap != nullptr;
    if (width)
        *width = known ? g.width : 0;
    if (height)
        *height = known ? g.height : 0;
    if (depth)
        *depth = known ? g.depth : 0;
}

void ClampRectToOffscreen(RECT* rect) {
    if (!rect)
        return;
    if (rect->left < 0)
        rect->left = 0;
    if (rect->top < 0)
        rect->top = 0;
    if (rect->right > g.width)
        rect->right = g.width;
    if (rect->bottom > g.height)
        rect->bottom = g.height;
}

HDC AcquireOffscreenDC(HDC reference) {
    if (!g.bitmap)
        return nullptr;
    if (g.useCount > 0) {
        ++g.useCount;
        return g.dc;
    }
    g.dc = CreateCompatibleDC(reference);
    if (!g.dc) {
        ShowGraphicsError(kStringNoBitmap);
        return nullptr;
    }
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    g.previousPalette = palette ? SelectPalette(g.dc, palette, FALSE) : nullptr;
    HGDIOBJ previous = SelectObject(g.dc, g.bitmap);
    g.previousBitmap = previous == HGDI_ERROR ? nullptr : previous;
    g.useCount = 1;
    return g.dc;
}

void ReleaseOffscreenDC(HDC dc) {
    // Only the shared DC counts: a stray release of another DC must not end the shared one.
    if (!dc || dc != g.dc || g.useCount <= 0)
        return;
    if (--g.useCount < 1)
        DeleteSharedDc();
}

HRGN GetCardClipRegion() { return g.clip; }

void SetCardClipRegion(HRGN region) {
    if (g.clip && g.clip != region)
        DeleteObject(g.clip);
    g.clip = region;
}

void DeleteCardClipRegion() { SetCardClipRegion(nullptr); }

HBITMAP GetLayerMaskBitmap() { return g.layerMask; }

void SetLayerMaskBitmap(HBITMAP mask) {
    if (g.layerMask && g.layerMask != mask)
        DeleteObject(g.layerMask);
    g.layerMask = mask;
}

void FreeOffscreenObjects() {
    // An acquire left unpaired would keep the bitmap selected and undeletable.
    if (g.dc)
        DeleteSharedDc();
    if (g.bitmap)
        DeleteObject(g.bitmap);
    g.bitmap = nullptr;
    g.width = g.height = g.depth = 0;
    DeleteCardClipRegion();
    SetLayerMaskBitmap(nullptr);
}
