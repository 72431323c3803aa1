// Loading a picture file by its kind through vic32: the information call sizes the image, the
// loader fills it. 15/16/32-bit BMPs are read here and enter the library as a 24-bit DIB.
#include <cstring>
#include <vector>

#include "core/files/FileTypes.h"
#include "core/files/WholeFile.h"
#include "media/pictures/BmpDirect.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"

namespace {

constexpr uint32_t kMaxPictureFileBytes = 256u << 20;

}  // namespace

std::vector<uint8_t> ReadPictureFile(const char* path) {
    return ReadWholeFile(path, kMaxPictureFileBytes);
}

namespace {

int LoadDirectBmp(const char* path, VicImage* desc) {
    const std::vector<uint8_t> dib = DirectBmpToPackedDib(ReadPictureFile(path));
    if (dib.empty())
        return VIC_BAD_FILE;
    int result = VIC_NO_MEMORY;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size())) {
        if (void* to = GlobalLock(block)) {
            std::memcpy(to, dib.data(), dib.size());
            GlobalUnlock(block);
            result = dibtoimage(block, desc);
        }
        GlobalFree(block);
    }
    return result;
}

int LoadBmp(const char* path, VicImage* desc) {
    VicBitmapHeader header{};
    int result = bmpinfo(path, &header);
    if (result != VIC_OK)
        return result;
    if (header.bitCount == 16 || header.bitCount == 32)
        return LoadDirectBmp(path, desc);
    // 1 and 4 bits are loaded as 8.
    const int32_t bits = header.bitCount <= 8 ? 8 : header.bitCount;
    const int32_t height = header.height < 0 ? -header.height : header.height;
    result = allocimage(desc, header.width, height, bits);
    return result != VIC_OK ? result : loadbmp(path, desc);
}

int LoadWithInfo(const char* path, VicImage* desc, int (*info)(const char*, VicFileInfo*),
                 int (*loader)(const char*, VicImage*)) {
    VicFileInfo about{};
    int result = info(path, &about);
    if (result == VIC_OK)
        result = allocimage(desc, about.width, about.length, about.bitsPerPixel);
    return result != VIC_OK ? result : loader(path, desc);
}

}  // namespace

int LoadImageByKind(const char* path, int kind, VicImage* desc) {
    if (!path || !desc)
        return VIC_BAD_ARGUMENT;
    switch (kind) {
    case kFileTypeBmp: return LoadBmp(path, desc);
    case kFileTypeTif: return LoadWithInfo(path, desc, tiffinfo, loadtif);
    case kFileTypeJpg: return LoadWithInfo(path, desc, jpeginfo, loadjpg);
    case kFileTypePcx: return LoadWithInfo(path, desc, pcxinfo, loadpcx);
    case kFileTypeTga: return LoadWithInfo(path, desc, tgainfo, loadtga);
    case kFileTypeBif: {
        const int result = allocimage(desc, 512, 480, 8);
        return result != VIC_OK ? result : loadbif(path, desc);
    }
    default: return VIC_UNSUPPORTED;  // GIF, PICT, PNG, PSD and everything above 10
    }
}
