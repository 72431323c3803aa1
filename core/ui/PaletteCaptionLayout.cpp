// Geometry of the floating palettes' title bar.
#include "core/ui/PaletteCaptionLayout.h"

int32_t PaletteCaptionHeightFor(int32_t systemCaptionHeight) { return systemCaptionHeight / 3 + 4; }

PaletteCaptionLayout LayoutPaletteCaption(int32_t systemCaptionHeight, int32_t clientWidth) {
    const int32_t height = PaletteCaptionHeightFor(systemCaptionHeight);
    PaletteCaptionLayout l{};
    l.strip = {0, 0, clientWidth, height};
    l.lineY = height - 1;
    l.dividerX = (height * 3) / 2;
    l.box = {0, 0, l.dividerX, l.lineY};
    const int32_t boxWidth = l.box.right - l.box.left;
    l.bar.left = l.box.left + boxWidth / 4 + 1;
    l.bar.right = l.bar.left + (l.box.right - l.bar.left) / 2 + 1;
    l.bar.top = (l.strip.top + l.strip.bottom) / 2;
    l.bar.bottom = l.bar.top + 3;
    return l;
}

bool PointInPaletteCaption(const PaletteCaptionLayout& layout, int32_t x, int32_t y, bool inBox) {
    const int32_t right = inBox ? layout.dividerX : layout.strip.right;
    return y >= layout.strip.top && y < layout.strip.bottom && x >= layout.strip.left && x < right;
}
