// The card as shown written to a picture file through vic32's writers.
#include <cstring>
#include <vector>

#include "core/files/FileTypes.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "media/pictures/GraphicSource.h"
#include "media/pictures/PictureFiles.h"
#include "stack/cards/CardList.h"
#include "stack/save/SaveStack.h"
#include "authoring/cards/CardPictureFiles.h"

namespace {

constexpr uint32_t kUnrecognizedType = 4084;
constexpr uint32_t kNoMemory = 4086;
constexpr uint32_t kInternalFailure = 4087;

int Fail(uint32_t stringId) {
    char text[256] = {};
    LoadResString(stringId, text, sizeof text);
    ShowErrorBox(text);
    return 0;
}

bool HasWriter(int kind) {
    return kind == kFileTypeBmp || kind == kFileTypeJpg || kind == kFileTypeGif || kind == kFileTypePcx ||
           kind == kFileTypeBif || kind == kFileTypeTga;
}

// The card (the offscreen without its two spare rows), with the objects drawn on it while they
// show, as a packed DIB: 8 bits with the system palette's colours on an 8-bit display, else 24.
std::vector<uint8_t> CardAsShown(int displayBits) {
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    HDC offscreen = AcquireOffscreenDC(nullptr);
    if (!offscreen || width < 1 || height < 1) {
        if (offscreen)
            ReleaseOffscreenDC(offscreen);
        return {};
    }
    std::vector<uint8_t> dib;
    HDC cut = CreateCompatibleDC(offscreen);
    HBITMAP bitmap = CreateCompatibleBitmap(offscreen, width, height);
    if (cut && bitmap) {
        HGDIOBJ kept = SelectObject(cut, bitmap);
        BitBlt(cut, 0, 0, width, height, offscreen, 0, 0, SRCCOPY);
        const RECT card{0, 0, width, height};
        if (GetCardView().objectsShown)
            DrawLayersInRect(cut, card, nullptr, false);
        SelectObject(cut, kept);
        const int bits = displayBits <= 8 ? 8 : 24;
        const uint32_t rowBytes = (static_cast<uint32_t>(width) * bits + 31) / 32 * 4;
        const uint32_t tableBytes = bits == 8 ? 256 * 4 : 0;
        dib.assign(sizeof(BITMAPINFOHEADER) + tableBytes + size_t{rowBytes} * static_cast<uint32_t>(height), 0);
        auto* info = reinterpret_cast<BITMAPINFO*>(dib.data());
        info->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
        if (!GetDIBits(cut, bitmap, 0, static_cast<UINT>(height), dib.data() + sizeof(BITMAPINFOHEADER) + tableBytes,
                       info, DIB_RGB_COLORS)) {
            dib.clear();
        } else if (bits == 8) {
            // The colours the display shows: the system palette.
            PALETTEENTRY system[256] = {};
            GetSystemPaletteEntries(offscreen, 0, 256, system);
            for (int i = 0; i < 256; ++i)
                info->bmiColors[i] = RGBQUAD{system[i].peBlue, system[i].peGreen, system[i].peRed, 0};
        }
        info->bmiHeader.biSizeImage = rowBytes * static_cast<uint32_t>(height);
        info->bmiHeader.biClrUsed = 0;
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (cut)
        DeleteDC(cut);
    ReleaseOffscreenDC(offscreen);
    return dib;
}

int Write(int kind, const char* path, const VicImage* image) {
    switch (kind) {
    case kFileTypeBmp: return savebmp(path, image, 0);
    case kFileTypeJpg: return savejpg(path, image, 100);
    case kFileTypeGif: return savegif(path, image);
    case kFileTypePcx: return savepcx(path, image);
    case kFileTypeBif: return savebif(path, image);
    case kFileTypeTga: return savetga(path, image, 0);
    default: return VIC_UNSUPPORTED;
    }
}

}  // namespace

int SaveGfile(const char* path, HWND window) {
    (void)window;
    WaitCursor wait;
    const int kind = path ? FileTypeFromExtension(path) : kFileTypeNone;
    if (!HasWriter(kind))
        return Fail(kUnrecognizedType);
    const int displayBits = GetDisplayBitsPerPixel();
    const bool indexedOnly = kind == kFileTypeGif || kind == kFileTypePcx || kind == kFileTypeBif;
    if ((indexedOnly && displayBits != 8) || (kind == kFileTypeTga && displayBits <= 8)) {
        ShowAlert(kAlertCannotSaveAtThisDepth);
        return 0;
    }
    std::vector<uint8_t> dib = CardAsShown(displayBits);
    if (dib.empty())
        return Fail(kInternalFailure);
    VicImage image{};
    if (SetupImageDesc(&image, dib.data(), static_cast<uint32_t>(dib.size())) != VIC_OK)
        return Fail(kNoMemory);
    // Edited in 8 bits on a deeper display: written with the card picture's palette.
    VicImage reduced{};
    const VicImage* written = &image;
    if (GetScreenDepth() == 8 && displayBits > 8 && !indexedOnly) {
        const Handle card = GetCurrentCardRecord();
        HPALETTE palette = card ? PaletteFromPictureResource(card) : nullptr;
        if (palette && allocimage(&reduced, image.width, image.height, 8) == VIC_OK) {
            reduced.colors = wintovicpal(palette, reduced.palette, reduced.paletteSlots);
            if (matchcolorimageex(&image, &reduced, VIC_MATCH_DIFFUSE) == VIC_OK)
                written = &reduced;
        }
        if (palette)
            DeleteObject(palette);
    }
    // Written whole beside the file it replaces, then put in its place; a failure is told there.
    int result = VIC_OK;
    const bool placed = ExportThroughPath(path, [&](const char* newPath) {
        result = Write(kind, newPath, written);
        return result == VIC_OK;
    });
    freeimage(&reduced);
    return placed ? 1 : 0;
}

int SaveCardPictureToFile(HWND window) {
    char path[MAX_PATH + 1] = {};
    if (!ChooseGraphicSource(window, path, MAX_PATH, 'W') || !path[0])
        return 0;
    SaveGfile(path, window);
    return 1;
}
