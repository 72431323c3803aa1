// The file calls of the library: each reads or builds the whole file in memory around its codec.
#include "vic32/dll/VicLib.h"

namespace {

template <class Info>
int InfoOf(const char* path, Info* info, int (*codec)(std::span<const uint8_t>, Info*)) {
    if (!path || !info)
        return VIC_BAD_ARGUMENT;
    return VicGuarded([&]() -> int {
        std::vector<uint8_t> file;
        const int read = VicReadFile(path, file);
        return read != VIC_OK ? read : codec(file, info);
    });
}

int Load(const char* path, VicImage* image, int (*codec)(std::span<const uint8_t>, VicImage*)) {
    if (!path || !VicImageOk(image))
        return VIC_BAD_ARGUMENT;
    return VicGuarded([&]() -> int {
        std::vector<uint8_t> file;
        const int read = VicReadFile(path, file);
        return read != VIC_OK ? read : codec(file, image);
    });
}

template <class Encode>
int Save(const char* path, const VicImage* image, Encode encode) {
    if (!path || !VicImageOk(image))
        return VIC_BAD_ARGUMENT;
    return VicGuarded([&]() -> int {
        std::vector<uint8_t> file;
        const int made = encode(*image, file);
        return made != VIC_OK ? made : VicWriteFile(path, file);
    });
}

}  // namespace

int VICAPI bmpinfo(const char* path, VicBitmapHeader* header) { return InfoOf(path, header, VicBmpHeader); }
int VICAPI loadbmp(const char* path, VicImage* image) { return Load(path, image, VicBmpLoad); }
int VICAPI savebmp(const char* path, const VicImage* image, int32_t compression) {
    if (compression != 0)
        return VIC_BAD_ARGUMENT;
    return Save(path, image, VicBmpEncode);
}

int VICAPI pcxinfo(const char* path, VicFileInfo* info) { return InfoOf(path, info, VicPcxInfo); }
int VICAPI loadpcx(const char* path, VicImage* image) { return Load(path, image, VicPcxLoad); }
int VICAPI savepcx(const char* path, const VicImage* image) { return Save(path, image, VicPcxEncode); }

int VICAPI tgainfo(const char* path, VicFileInfo* info) { return InfoOf(path, info, VicTgaInfo); }
int VICAPI loadtga(const char* path, VicImage* image) { return Load(path, image, VicTgaLoad); }
int VICAPI savetga(const char* path, const VicImage* image, int32_t compression) {
    if (compression != 0 && compression != 1)
        return VIC_BAD_ARGUMENT;
    return Save(path, image, [&](const VicImage& source, std::vector<uint8_t>& out) {
        return VicTgaEncode(source, compression == 1, out);
    });
}

// No description of the BIF layout exists to build on.
int VICAPI loadbif(const char*, VicImage*) { return VIC_UNSUPPORTED; }
int VICAPI savebif(const char*, const VicImage*) { return VIC_UNSUPPORTED; }
