// The display: depth, palette selection, system family, start-up font.
#include "core/ui/DisplayUtils.h"

#include "core/system/PluginModule.h"
#include "core/system/WindowsFamily.h"
#include "core/ui/GdiGuards.h"

namespace {
int g_displayBitsPerPixel = 0;  // 0 until read
HFONT g_startupDcFont = nullptr;
}  // namespace

int GetDisplayBitsPerPixel() {
    if (g_displayBitsPerPixel == 0) {
        // An information context is enough to ask the device; nothing is drawn.
        HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
        if (ic) {
            g_displayBitsPerPixel = GetDeviceCaps(ic, BITSPIXEL) * GetDeviceCaps(ic, PLANES);
            DeleteDC(ic);
        }
    }
    return g_displayBitsPerPixel > 0 ? g_displayBitsPerPixel : kFallbackDisplayBits;
}

HPALETTE SelectPaletteForDisplayBits(int displayBitsPerPixel, HDC dc, HPALETTE palette, BOOL forceBackground) {
    if (displayBitsPerPixel != 8 || !dc || !palette)
        return palette;
    HPALETTE previous = SelectPalette(dc, palette, forceBackground);
    RealizePalette(dc);
    return previous;
}

HPALETTE SelectPaletteIfIndexed(HDC dc, HPALETTE palette, BOOL forceBackground) {
    return SelectPaletteForDisplayBits(GetDisplayBitsPerPixel(), dc, palette, forceBackground);
}

int GetWindowsFamily() {
    return WindowsFamilyFromVersion(static_cast<uint32_t>(GetVersion()));
}

void InitStartupDcFont() {
    LOGFONTA iconTitle{};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof iconTitle, &iconTitle, 0))
        return;
    HFONT font = CreateFontIndirectA(&iconTitle);
    if (!font)
        return;
    {
        WindowDC dc(GetMainWindow());
        SelectedObject selected(dc.get(), font);
        if (selected)
            g_startupDcFont = static_cast<HFONT>(selected.previous());
    }
    DeleteObject(font);
}

HFONT GetStartupDcFont() { return g_startupDcFont; }
