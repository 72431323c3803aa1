// Animated GIFs: recognised by their header and QuickTime's count of images, decoded by
// QuickTime frame by frame, with the transparent index found by the block walk.
#include <vector>

#include "core/files/FileTypes.h"
#include "media/MediaManager.h"
#include "media/pictures/GifScan.h"
#include "media/pictures/PictureFiles.h"

namespace {

// The whole file, or empty when it cannot be read. GIFs past 64 MB are not walked.
std::vector<uint8_t> ReadSmallFile(const char* path, size_t limit) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE && size <= limit) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr) || read != size)
            bytes.clear();
    }
    CloseHandle(file);
    return bytes;
}

constexpr size_t kGifLimit = 64u << 20;

}  // namespace

bool IsAnimatedGif(const char* path) {
    if (!path || FileTypeFromExtension(path) != kFileTypeGif)
        return false;
    uint8_t header[13] = {};
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    const bool got = ReadFile(file, header, sizeof header, &read, nullptr) && read == sizeof header;
    CloseHandle(file);
    return got && IsGif89Header(header) && MediaCountImages(path) >= 2;
}

int LoadGifFrames(const char* path, HGLOBAL* frames, int* count, int* transparentIndex) {
    if (!path || !frames || !count)
        return 0;
    if (transparentIndex)
        *transparentIndex = GifTransparentIndex(ReadSmallFile(path, kGifLimit));
    return MediaDecodeImageFrames(path, frames, count);
}
