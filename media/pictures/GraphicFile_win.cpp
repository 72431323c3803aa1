// LoadGraphicFile: every picture file into a device bitmap. QuickTime's importers are asked
// first (a metafile is drawn instead); what they cannot read goes to vic32 by the file's kind.
// The live sources (video, camera, scanner) give their pictures only when the user chose one.
#include <cstring>
#include <string>

#include "core/files/FileTypes.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "media/MediaPreview.h"
#include "media/capture/Capture.h"
#include "media/devices/Camera.h"
#include "media/devices/Twain.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"
#include "media/support/MetafileRender.h"
#include "media/video/VideoSources.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/PicturePalette.h"

namespace {

constexpr uint32_t kCouldNotLoadString = 4085;

void ReportNotLoaded() {
    char text[256] = {};
    LoadResString(kCouldNotLoadString, text, sizeof text);
    ShowErrorBox(text);
}

// A DIB handle's bytes as a packed DIB in global memory; the handle is disposed.
HGLOBAL GlobalFromDib(DibHandle dib) {
    HGLOBAL block = nullptr;
    if (dib) {
        HandleLock lock(dib);
        const std::span<uint8_t> bytes = lock.bytes();
        block = bytes.empty() ? nullptr : GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (void* to = block ? GlobalLock(block) : nullptr) {
            std::memcpy(to, bytes.data(), bytes.size());
            GlobalUnlock(block);
        }
    }
    DisposeHandle(dib);
    return block;
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

// The picture (a packed DIB in global memory, freed here, or else the file by its kind) as a
// device bitmap, with its palette as LoadGraphicFile hands it out.
HBITMAP BitmapFromPicture(const char* path, int kind, HGLOBAL dib, HWND window, HPALETTE* paletteOut,
                          int makePalette) {
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
        // Only a palette display shows the picture through the card's colours; a deeper one holds
        // the card at its own depth whatever the stack's (a 256-colour stack keeps the picture's
        // colours until it is saved at the display's depth).
        if (result == VIC_OK && GetDisplayBitsPerPixel() < 9 && palette)
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

}  // namespace

HBITMAP LoadGraphicFile(const char* path, HWND window, HPALETTE* paletteOut, int makePalette) {
    WaitCursor wait;
    if (paletteOut)
        *paletteOut = nullptr;
    if (!path)
        return nullptr;
    const int kind = FileTypeFromExtension(path);
    // Those names stand for the live sources, which only the user's choice of a source opens:
    // a file so named (a stack's, a download, a library's) is no picture.
    if (IsLiveSourceFileType(kind))
        return nullptr;
    HGLOBAL dib = nullptr;
    if (kind == kFileTypeWmf) {
        dib = RenderMetafileFile(path);
        if (!dib)
            return nullptr;  // an unreadable metafile says nothing
    } else if (MediaImportPicture(path, &dib) != 0) {
        dib = nullptr;
    }
    return BitmapFromPicture(path, kind, dib, window, paletteOut, makePalette);
}

HBITMAP LoadLivePicture(int source, HWND window, HPALETTE* paletteOut, int makePalette) {
    WaitCursor wait;
    if (paletteOut)
        *paletteOut = nullptr;
    HGLOBAL dib = nullptr;
    switch (source) {
    case kGraphicFromVideo: {
        if (RunVideoCaptureDialog(window) != 1)
            return nullptr;
        // The grabbed frame, read by the image library, then deleted.
        const std::string framePath = CaptureFramePath();
        HBITMAP bitmap = BitmapFromPicture(framePath.c_str(), kFileTypeBmp, nullptr, window, paletteOut, makePalette);
        DeleteFileA(framePath.c_str());
        return bitmap;
    }
    case kGraphicFromCamera: {
        DibHandle picture = 0;
        if (ImportCameraPicture(window, &picture) != 0)
            return nullptr;  // the camera code has said why
        dib = GlobalFromDib(picture);
        break;
    }
    case kGraphicFromTwain: dib = AcquireTwainImage(window); break;  // a scan that gave nothing says nothing
    default: break;
    }
    return dib ? BitmapFromPicture(nullptr, kFileTypeNone, dib, window, paletteOut, makePalette) : nullptr;
}

HBITMAP LoadChosenGraphic(int source, const char* path, HWND window, HPALETTE* paletteOut, int makePalette) {
    if (source == kGraphicFromFile)
        return LoadGraphicFile(path, window, paletteOut, makePalette);
    return LoadLivePicture(source, window, paletteOut, makePalette);
}
