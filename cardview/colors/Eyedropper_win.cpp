// The eyedropper's drag and its pick from the card offscreen.
#include "cardview/colors/Eyedropper.h"

#include "core/ui/DisplayUtils.h"
#include "cardview/colors/ColorChooserUpcalls.h"
#include "cardview/colors/Fcolors.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"

namespace {
bool g_dragging = false;
}  // namespace

bool PickColorAt(int x, int y) {
    int width = 0;
    int height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    // A drag captured past the card's edge reads no pixel (GetPixel would give CLR_INVALID).
    if (x < 0 || y < 0 || x >= width || y >= height)
        return false;
    HDC offscreen = AcquireOffscreenDC(nullptr);
    if (!offscreen)
        return false;
    const COLORREF pixel = GetPixel(offscreen, x, y);
    ReleaseOffscreenDC(offscreen);
    if (pixel == CLR_INVALID)
        return false;
    const ColorChooserUpcalls& up = GetColorChooserUpcalls();
    const bool shown = GetFcolorsWindow() != nullptr;
    if (shown)
        up.frameColorValue(GetToolColor('f'));
    uint16_t index = kCustomColorIndex;
    if (GetDisplayBitsPerPixel() <= 8) {
        HPALETTE palette = GetAppPalette();
        const UINT nearest = palette ? GetNearestPaletteIndex(palette, pixel & 0x00FFFFFF) : 0;
        index = nearest == CLR_INVALID ? 0 : static_cast<uint16_t>(nearest);
    } else {
        SetCustomColor(pixel & 0x00FFFFFF);
    }
    SetToolColor('f', static_cast<int16_t>(index));
    SetPickedColor(index, pixel);
    if (shown) {
        up.frameColorValue(GetToolColor('f'));
        up.redrawSwatch('f');
    }
    return true;
}

void BeginEyedropperDrag(HWND window, int x, int y) {
    g_dragging = true;
    SetCapture(window);
    PickColorAt(x, y);
}

int TrackEyedropperDrag(HWND /*window*/, int x, int y) {
    if (!g_dragging)
        return 0;
    PickColorAt(x, y);
    return 1;
}

void EndEyedropperDrag(HWND /*window*/) {
    if (!g_dragging)
        return;
    ReleaseCapture();
    g_dragging = false;
}
