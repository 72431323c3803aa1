// The palette a picture is imported with: the first 16 default colours, 220 of the picture's
// own, the 20 static colours.
#include <cstring>

#include "core/ui/DisplayUtils.h"
#include "graphics/palette/AppPalette.h"
#include "media/pictures/PictureLoad.h"

namespace {

constexpr int kDefaultKept = 16;
constexpr int kImageColors = 220;

// The first 16 entries of the default palette.
bool DefaultEntries(PALETTEENTRY* entries) {
    HGLOBAL block = LoadDefaultLogPalette();
    if (!block)
        return false;
    const auto* logical = static_cast<const LOGPALETTE*>(GlobalLock(block));
    const bool got = logical && logical->palNumEntries >= kDefaultKept;
    if (got)
        std::memcpy(entries, logical->palPalEntry, sizeof(PALETTEENTRY) * kDefaultKept);
    if (logical)
        GlobalUnlock(block);
    GlobalFree(block);
    return got;
}

// The picture's own colours (reduced to 256 first when it has more than 8 bits).
bool ImageEntries(const VicImage& image, PALETTEENTRY* entries) {
    VicImage reduced{};
    const VicImage* indexed = &image;
    if (image.bitsPerPixel > 8) {
        if (allocimage(&reduced, image.width, image.height, 8) != VIC_OK)
            return false;
        if (convertrgbtopal(256, &image, &reduced) != VIC_OK) {
            freeimage(&reduced);
            return false;
        }
        indexed = &reduced;
    }
    HPALETTE own = indexed->colors > 0 ? victowinpal(indexed->palette, indexed->colors) : nullptr;
    freeimage(&reduced);
    if (!own)
        return false;
    GetPaletteEntries(own, 0, kImageColors, entries);
    DeleteObject(own);
    return true;
}

}  // namespace

HPALETTE MakeImagePalette(const VicImage& image) {
    struct {
        WORD version;
        WORD count;
        PALETTEENTRY entries[256];
    } logical{0x300, 256, {}};
    PALETTEENTRY* entries = logical.entries;
    if (!DefaultEntries(entries) || !ImageEntries(image, entries + kDefaultKept))
        return nullptr;
    CopySystemColorsToPalette(entries);
    for (int i = 0; i < 256; ++i)
        entries[i].peFlags = PC_RESERVED;
    if (GetDisplayBitsPerPixel() > 8) {
        SnapColorsToDisplay(256, entries);
        if (HPALETTE app = GetAppPalette())
            SetPaletteEntries(app, 0, 256, entries);
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&logical));
}
