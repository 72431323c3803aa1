// The image descriptors of vic32 as the picture import holds them: one allocation each, freed
// with the image it holds.
#include <new>

#include "media/pictures/PictureFiles.h"

int AllocImageDesc(VicImage** desc) {
    if (!desc)
        return 1;
    *desc = new (std::nothrow) VicImage{};
    return *desc ? 0 : 1;
}

int SetupImageDesc(VicImage* desc, uint8_t* dib, uint32_t bytes) {
    if (!desc)
        return VIC_BAD_ARGUMENT;
    return setupimgdes(dib, bytes, desc);
}

int MatchImageToPalette(VicImage* desc, HPALETTE palette) {
    if (!desc || !palette)
        return VIC_BAD_ARGUMENT;
    VicImage target{};
    int result = allocimage(&target, desc->width, desc->height, 8);
    if (result != VIC_OK)
        return result;
    target.colors = wintovicpal(palette, target.palette, target.paletteSlots);
    result = matchcolorimageex(desc, &target, VIC_MATCH_DIFFUSE);
    if (result != VIC_OK) {
        freeimage(&target);
        return result;
    }
    freeimage(desc);
    *desc = target;  // the descriptor now owns the matched image
    return VIC_OK;
}

int ImageDescToDib(VicImage* desc, HGLOBAL* dibOut) {
    const int result = desc && dibOut ? imagetodib(desc, dibOut) : VIC_BAD_ARGUMENT;
    FreeImageDesc(desc);
    return result;
}

void FreeImageDesc(VicImage* desc) {
    if (!desc)
        return;
    if (desc->header)
        freeimage(desc);
    delete desc;
}

int CreateBitmapFromImage(HDC dc, const VicImage* desc, HBITMAP* bitmapOut) {
    if (!dc || !desc || !desc->header || !desc->bits || !bitmapOut)
        return -14;
    // The header is followed by the colour table in every image vic32 describes.
    const auto* info = reinterpret_cast<const BITMAPINFO*>(desc->header);
    HBITMAP made = CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, desc->bits, info, DIB_RGB_COLORS);
    if (!made)
        return -14;
    *bitmapOut = made;
    return 0;
}
