// The 16 fill-pattern bitmaps, made through the application palette.
#include "graphics/pixels/FillPatterns.h"

#include <array>
#include <cstdio>

#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "graphics/dib/BmpFile.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"

namespace {

// The bitmaps and what they were made with: every card entered asks for them again, and they are
// remade only when the application palette's colours or the display's depth changed.
struct Patterns {
    std::array<HBITMAP, kFillPatternCount> bitmaps{};
    PaletteColours colours;
    int depth = 0;  // 0: not made
} g_patterns;

// The pattern resource of a slot as a bitmap compatible with the DC, its pixels mapped to the
// application palette; null when the resource is missing or not a DIB we can read.
HBITMAP MakePatternBitmap(HDC dc, int slot) {
    char name[16];
    std::snprintf(name, sizeof name, "FILLPAT%d", slot + 1);
    uint32_t size = 0;
    const auto* file = static_cast<const uint8_t*>(LoadResData(name, "DIB", &size));
    if (!file || size <= kBmpFileHeaderBytes || file[0] != 'B' || file[1] != 'M')
        return nullptr;
    ScopedHandle dib(NewHandleFromBytes({file + kBmpFileHeaderBytes, size - kBmpFileHeaderBytes}));
    if (!dib.get())
        return nullptr;
    DibSetPaletteFrom(dib.get(), GetAppPalette());  // deep patterns stay as they are
    LockedDib locked(dib.get());
    if (!locked)
        return nullptr;
    const DibLayout& layout = locked.layout();
    HBITMAP bitmap = CreateCompatibleBitmap(dc, layout.width, layout.height);
    if (!bitmap)
        return nullptr;
    if (SetDIBits(dc, bitmap, 0, static_cast<UINT>(layout.height), locked.image().data(),
                  reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS) == 0) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

}  // namespace

void LoadFillPatterns(HWND window) {
    WindowDC dc(window);
    SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    for (int slot = 0; slot < kFillPatternCount; ++slot) {
        HBITMAP& pattern = g_patterns.bitmaps[static_cast<size_t>(slot)];
        if (pattern)
            DeleteObject(pattern);
        pattern = dc ? MakePatternBitmap(dc.get(), slot) : nullptr;
    }
    g_patterns.colours = PaletteEntries(GetAppPalette());
    g_patterns.depth = dc ? GetDisplayBitsPerPixel() : 0;
}

void ReloadFillPatterns() {
    if (g_patterns.depth != 0 && g_patterns.depth == GetDisplayBitsPerPixel() &&
        SameEntries(g_patterns.colours, PaletteEntries(GetAppPalette())))
        return;
    LoadFillPatterns(GetMainWindow());
    if (HWND colors = GetFcolorsWindow())
        InvalidateRect(colors, nullptr, TRUE);
}

HBITMAP GetFillPattern(int pattern) {
    if (pattern < 1 || pattern > kFillPatternCount)
        return nullptr;
    return g_patterns.bitmaps[static_cast<size_t>(pattern - 1)];
}

void FreeFillPatterns() {
    for (HBITMAP& pattern : g_patterns.bitmaps) {
        if (pattern)
            DeleteObject(pattern);
        pattern = nullptr;
    }
    g_patterns.depth = 0;
}
