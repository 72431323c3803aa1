// One colour replaced by another in the card picture: every offscreen pixel that shows the old
// colour exactly becomes the new one. Colours are compared as the display stores them, so a
// 16-bit display's rounding cannot make a pixel miss.
#include "paint/Selections.h"

#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

// The colour as a 32-bit pixel read back from a display-compatible bitmap painted with it.
bool StoredValue(HDC reference, COLORREF color, uint32_t* value) {
    HBITMAP sample = CreateCompatibleBitmap(reference, 1, 1);
    if (!sample)
        return false;
    OwnedGdiObject<HBITMAP> owned(sample);
    {
        MemoryDC memory(reference);
        SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        SelectedObject chosen(memory.get(), sample);
        SetPixelV(memory.get(), 0, 0, color);
    }
    BITMAPINFO info = TopDownRgbInfo(1, 1);
    return GetDIBits(reference, sample, 0, 1, value, &info, DIB_RGB_COLORS) == 1;
}

}  // namespace

int ReplaceColorsInPicture(int, int, int oldColorValue, int newColorValue) {
    if (oldColorValue < 0 || newColorValue < 0 || oldColorValue == newColorValue)
        return 0;
    HBITMAP bitmap = GetOffscreenBitmap();
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    WindowDC screen(GetMainWindow());
    if (!bitmap || width <= 0 || height <= 0 || !screen)
        return 0;
    uint32_t from = 0, to = 0;
    if (!StoredValue(screen.get(), PaletteIndexToColor(oldColorValue), &from) ||
        !StoredValue(screen.get(), PaletteIndexToColor(newColorValue), &to))
        return 0;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = TopDownRgbInfo(width, height);
    if (GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        return 0;
    int changed = 0;
    for (uint32_t& p : pixels) {
        if ((p & 0xFFFFFF) == (from & 0xFFFFFF)) {
            p = to;
            ++changed;
        }
    }
    if (changed) {
        SetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        NoteCardPicturePainted();
        InvalidateRect(GetMainWindow(), nullptr, FALSE);
    }
    return changed;
}
