// The help mascot's picture: a picture file beside the program when there is one, else the
// built-in bitmap "DOGGIE", whose left half is the image and right half the mask.
#include <cstring>
#include <initializer_list>

#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"

namespace {

// A one-bit mask of the picture: white where a pixel has the top-left corner's colour (the
// background shows through), black elsewhere.
HBITMAP MaskOfCornerColour(HBITMAP image, SIZE size) {
    OwnedGdiObject<HBITMAP> mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    if (!mask)
        return nullptr;
    WindowDC screen(nullptr);
    bool made = false;
    {
        MemoryDC sourceDc(screen.get());
        SelectedObject source(sourceDc.get(), image);
        MemoryDC targetDc(screen.get());
        SelectedObject target(targetDc.get(), mask.get());
        if (source && target) {
            // Colour to one bit: pixels of the background colour become 1, all others 0.
            SetBkColor(sourceDc.get(), GetPixel(sourceDc.get(), 0, 0));
            made = BitBlt(targetDc.get(), 0, 0, size.cx, size.cy, sourceDc.get(), 0, 0, SRCCOPY) != 0;
        }
    }
    return made ? mask.release() : nullptr;
}

bool LoadMascotFile(MascotPicture* picture) {
    char name[64] = {};
    if (LoadResString(kStringMascotFile, name, sizeof name) <= 0)
        return false;
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotProgram, sizeof path, path);
    if (!path[0])
        return false;
    SetPathFileName(name, path, sizeof path);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    auto image = static_cast<HBITMAP>(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    SIZE size{};
    HBITMAP mask = BitmapSize(image, &size) && size.cx > 0 && size.cy > 0 ? MaskOfCornerColour(image, size) : nullptr;
    if (!mask) {
        if (image)
            DeleteObject(image);
        return false;
    }
    *picture = {image, mask, 0, 0, static_cast<int>(size.cx), static_cast<int>(size.cy), true};
    return true;
}

bool LoadMascotResource(MascotPicture* picture) {
    HBITMAP bitmap = nullptr;
    for (HMODULE module : {GetResModule(), static_cast<HMODULE>(GetAppInstance())}) {
        if (module && !bitmap)
            bitmap = static_cast<HBITMAP>(LoadImageA(module, "DOGGIE", IMAGE_BITMAP, 0, 0, 0));
    }
    SIZE size{};
    if (!BitmapSize(bitmap, &size) || size.cx < 2 || size.cy < 1) {
        if (bitmap)
            DeleteObject(bitmap);
        return false;
    }
    const int half = static_cast<int>(size.cx / 2);
    *picture = {bitmap, bitmap, 0, half, half, static_cast<int>(size.cy), false};
    return true;
}

}  // namespace

bool LoadMascotPicture(MascotPicture* picture) {
    if (!picture)
        return false;
    *picture = MascotPicture{};
    return LoadMascotFile(picture) || LoadMascotResource(picture);
}

void DrawMascotPicture(HDC dc, int x, int y, const MascotPicture& picture) {
    if (!dc || !picture.image || picture.width <= 0 || picture.height <= 0)
        return;
    const int w = picture.width;
    const int h = picture.height;
    // Combined off screen so the picture never flickers: the area under it is copied out,
    // image XOR, mask AND, image XOR leaves the background where the mask is white, then it
    // is copied back.
    OwnedGdiObject<HBITMAP> work(CreateCompatibleBitmap(dc, w, h));
    if (!work)
        return;
    // A bitmap can be selected into one DC only: the built-in picture holds both halves.
    const bool shared = picture.mask == picture.image;
    MemoryDC targetDc(dc);
    SelectedObject offscreen(targetDc.get(), work.get());
    MemoryDC imageDc(dc);
    SelectedObject image(imageDc.get(), picture.image);
    MemoryDC separateMaskDc(dc);
    SelectedObject separateMask(separateMaskDc.get(), shared ? nullptr : picture.mask);
    const HDC maskDc = shared ? imageDc.get() : separateMaskDc.get();
    if (offscreen && image && (shared || separateMask)) {
        HDC target = targetDc.get();
        SetTextColor(target, RGB(0, 0, 0));  // a one-bit mask: 0 black, 1 white
        SetBkColor(target, RGB(255, 255, 255));
        BitBlt(target, 0, 0, w, h, dc, x, y, SRCCOPY);
        BitBlt(target, 0, 0, w, h, imageDc.get(), picture.imageLeft, 0, SRCINVERT);
        BitBlt(target, 0, 0, w, h, maskDc, picture.maskLeft, 0, SRCAND);
        BitBlt(target, 0, 0, w, h, imageDc.get(), picture.imageLeft, 0, SRCINVERT);
        BitBlt(dc, x, y, w, h, target, 0, 0, SRCCOPY);
    }
}

void FreeMascotPicture(MascotPicture* picture) {
    if (!picture)
        return;
    if (picture->ownsMask && picture->mask)
        DeleteObject(picture->mask);
    if (picture->image)
        DeleteObject(picture->image);
    *picture = MascotPicture{};
}
