// The card offscreen, its shared memory DC, the clip region and the layer mask.
#include "graphics/pixels/CardOffscreen.h"

#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/GraphicsErrors.h"

namespace {

constexpr uint32_t kStringNoDc = 4029;      // "InitDataBase: failed to create DC"
constexpr int kExtraRows = 2;

struct Offscreen {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0, depth = 0;
    HDC dc = nullptr;
    int useCount = 0;
    HPALETTE previousPalette = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    HRGN clip = nullptr;
    HBITMAP layerMask = nullptr;
};
Offscreen g_offscreen;

// While the shared DC lives it holds the offscreen: a new bitmap takes its place there first,
// so the old one is no longer selected when its owner deletes it.
void SelectIntoSharedDc(HBITMAP bitmap) {
    if (g_offscreen.useCount > 0 && g_offscreen.dc && bitmap)
        SelectObject(g_offscreen.dc, bitmap);
}

void DeleteSharedDc() {
    if (g_offscreen.previousPalette)
        SelectPalette(g_offscreen.dc, g_offscreen.previousPalette, FALSE);
    if (g_offscreen.previousBitmap)
        SelectObject(g_offscreen.dc, g_offscreen.previousBitmap);
    DeleteDC(g_offscreen.dc);
    g_offscreen.dc = nullptr;
    g_offscreen.useCount = 0;
    g_offscreen.previousPalette = nullptr;
    g_offscreen.previousBitmap = nullptr;
}

}  // namespace

int InitDataBase(HWND window, int width, int height, int depth, bool report) {
    if (g_offscreen.bitmap && !(g_offscreen.useCount > 0)) {
        DeleteObject(g_offscreen.bitmap);
        g_offscreen.bitmap = nullptr;
    }
    g_offscreen.width = g_offscreen.height = g_offscreen.depth = 0;
    SetCardWindow(window);
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
    HBITMAP old = g_offscreen.bitmap;
    SelectIntoSharedDc(bitmap);
    if (old)
        DeleteObject(old);
    g_offscreen.bitmap = bitmap;
    g_offscreen.width = width;
    g_offscreen.height = height;
    g_offscreen.depth = depth;
    return 1;
}


HBITMAP GetOffscreenBitmap() { return g_offscreen.bitmap; }

void SetOffscreenBitmap(HBITMAP bitmap) {
    SelectIntoSharedDc(bitmap);
    g_offscreen.bitmap = bitmap;
    BITMAP info = {};
    if (bitmap && GetObjectA(bitmap, sizeof info, &info) == sizeof info && info.bmHeight > kExtraRows) {
        g_offscreen.width = info.bmWidth;
        g_offscreen.height = info.bmHeight - kExtraRows;
        g_offscreen.depth = info.bmPlanes * info.bmBitsPixel;
    } else {
        g_offscreen.width = g_offscreen.height = g_offscreen.depth = 0;
    }
}

void GetOffscreenSize(int* width, int* height, int* depth) {
    const bool known = g_offscreen.bitmap != nullptr;
    if (width)
        *width = known ? g_offscreen.width : 0;
    if (height)
        *height = known ? g_offscreen.height : 0;
    if (depth)
        *depth = known ? g_offscreen.depth : 0;
}

void ClampRectToOffscreen(RECT* rect) {
    if (!rect)
        return;
    if (rect->left < 0)
        rect->left = 0;
    if (rect->top < 0)
        rect->top = 0;
    if (rect->right > g_offscreen.width)
        rect->right = g_offscreen.width;
    if (rect->bottom > g_offscreen.height)
        rect->bottom = g_offscreen.height;
}

HDC AcquireOffscreenDC(HDC reference) {
    if (!g_offscreen.bitmap)
        return nullptr;
    if (g_offscreen.useCount > 0) {
        ++g_offscreen.useCount;
        return g_offscreen.dc;
    }
    g_offscreen.dc = CreateCompatibleDC(reference);
    if (!g_offscreen.dc) {
        ShowGraphicsError(kStringNoBitmap);
        return nullptr;
    }
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    g_offscreen.previousPalette = palette ? SelectPalette(g_offscreen.dc, palette, FALSE) : nullptr;
    HGDIOBJ previous = SelectObject(g_offscreen.dc, g_offscreen.bitmap);
    g_offscreen.previousBitmap = previous == HGDI_ERROR ? nullptr : previous;
    g_offscreen.useCount = 1;
    return g_offscreen.dc;
}

void ReleaseOffscreenDC(HDC dc) {
    // Only the shared DC counts: a stray release of another DC must not end the shared one.
    if (!dc || dc != g_offscreen.dc || g_offscreen.useCount <= 0)
        return;
    if (--g_offscreen.useCount < 1)
        DeleteSharedDc();
}

HRGN GetCardClipRegion() { return g_offscreen.clip; }

void SetCardClipRegion(HRGN region) {
    if (g_offscreen.clip && g_offscreen.clip != region)
        DeleteObject(g_offscreen.clip);
    g_offscreen.clip = region;
}

void DeleteCardClipRegion() { SetCardClipRegion(nullptr); }

HBITMAP GetLayerMaskBitmap() { return g_offscreen.layerMask; }

void SetLayerMaskBitmap(HBITMAP mask) {
    if (g_offscreen.layerMask && g_offscreen.layerMask != mask)
        DeleteObject(g_offscreen.layerMask);
    g_offscreen.layerMask = mask;
}

void FreeOffscreenObjects() {
    // An acquire left unpaired would keep the bitmap selected and undeletable.
    if (g_offscreen.dc)
        DeleteSharedDc();
    if (g_offscreen.bitmap)
        DeleteObject(g_offscreen.bitmap);
    g_offscreen.bitmap = nullptr;
    g_offscreen.width = g_offscreen.height = g_offscreen.depth = 0;
    DeleteCardClipRegion();
    SetLayerMaskBitmap(nullptr);
}
