// LoadGraphicFile: every picture file into a device bitmap. QuickTime's importers are asked
// first (a metafile is drawn instead); what they cannot read goes to vic32 by the file's kind.
#include "core/files/FileTypes.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "media/MediaPreview.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"
#include "media/support/MetafileRender.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/PicturePalette.h"

namespace {

constexpr uint32_t kCouldNotLoadString = 4085;

void ReportNotLoaded() {
    char text[256] = {};
    LoadResString(kCouldNotLoadString, text, sizeof text);
    ShowErrorBox(text);
}

// The device bitmap made against the card offscreen's DC, else the window's.
int BitmapForImage(HWND window, const VicImage* desc, HBITMAP* bitmap) {
    if (HDC offscreen = AcquireOffscreenDC(nullptr)) {
        const int result = CreateBitmapFromImage(offscreen, desc, bitmap);
        ReleaseOffscreenDC(offscreen);
        return result;
    }
    HDC dc = GetDC(window);
    const int result = CreateBitmapFromImage(dc, desc, bitmap);
    ReleaseDC(window, dc);
    return result;
}

}  // namespace

HBITMAP LoadGraphicFile(const char* path, HWND window, HPALETTE* paletteOut, int makePalette) {
    WaitCursor wait;
    if (paletteOut)
        *paletteOut = nullptr;
    if (!path)
        return nullptr;
    const int kind = FileTypeFromExtension(path);
    HGLOBAL dib = nullptr;
    switch (kind) {
    case kFileTypeVid:
    case kFileTypeCam:
    case kFileTypeTw:
        // No live source is ever offered (the capture, camera and scanner code is not built):
        // such a pseudo file ends here, as a source that gave nothing does.
        return nullptr;
    case kFileTypeWmf:
        dib = RenderMetafileFile(path);
        if (!dib)
            return nullptr;  // an unreadable metafile says nothing
        break;
    default:
        if (MediaImportPicture(path, &dib) != 0)
            dib = nullptr;
        break;
    }

    VicImage* desc = nullptr;
    int result = AllocImageDesc(&desc) == 0 ? VIC_OK : VIC_NO_MEMORY;
    if (result == VIC_OK)
        result = dib ? dibtoimage(dib, desc) : LoadImageByKind(path, kind, desc);
    if (dib)
        GlobalFree(dib);

    HPALETTE palette = nullptr;
    HBITMAP bitmap = nullptr;
    if (result == VIC_OK) {
        const Handle card = GetCurrentCardRecord();
        if (makePalette) {
            palette = MakeImagePalette(*desc);
            if (palette && card)
                StorePaletteInPictureResource(card, palette);
        } else {
            palette = card ? PaletteFromPictureResource(card) : nullptr;
        }
        if (makePalette && !palette)
            result = VIC_BAD_PALETTE;
        if (result == VIC_OK && GetScreenDepth() < 9 && palette)
            result = MatchImageToPalette(desc, palette);
        if (result == VIC_OK && BitmapForImage(window, desc, &bitmap) != 0)
            bitmap = nullptr;
    }
    FreeImageDesc(desc);
    if (!bitmap) {
        if (palette)
            DeleteObject(palette);
        ReportNotLoaded();
        return nullptr;
    }
    if (paletteOut)
        *paletteOut = palette;
    else if (palette)
        DeleteObject(palette);
    return bitmap;
}
