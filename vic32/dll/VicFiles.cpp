// Files read and written whole through the C library, so that the codecs stay free of the
// platform and the native tests and fuzzers reach them.
#include <cstdio>

#include "vic32/dll/VicLib.h"


int VicReadFile(const char* path, std::vector<uint8_t>& bytes) {
    if (!path)
        return VIC_BAD_ARGUMENT;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return VIC_NO_FILE;
    int result = VIC_NO_FILE;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size >= 0 && static_cast<unsigned long>(size) > kVicMaxFileBytes) {
            result = VIC_BAD_FILE;
        } else if (size >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(static_cast<size_t>(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size())
                result = VIC_OK;
        }
    }
    std::fclose(file);
    if (result != VIC_OK)
        bytes.clear();
    return result;
}

int VicWriteFile(const char* path, std::span<const uint8_t> bytes) {
    if (!path)
        return VIC_BAD_ARGUMENT;
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return VIC_WRITE_FAILED;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written) {
        // A partial picture is worse than none: the next reader would take it for whole.
        std::remove(path);
        return VIC_WRITE_FAILED;
    }
    return VIC_OK;
}

bool VicImageIs(const VicImage* image, int32_t width, int32_t height, int32_t bitsPerPixel) {
    return VicImageOk(image) && image->width == width && image->height == height &&
           image->bitsPerPixel == bitsPerPixel;
}
