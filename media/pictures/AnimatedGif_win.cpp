// Animated GIFs: recognised by their header and QuickTime's count of images, decoded by
// QuickTime frame by frame, with the transparent index found by the block walk.
#include "core/files/FileTypes.h"
#include "media/MediaManager.h"
#include "media/pictures/GifScan.h"
#include "media/pictures/PictureFiles.h"
#include "media/pictures/PictureLoad.h"

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
        *transparentIndex = GifTransparentIndex(ReadPictureFile(path));
    return MediaDecodeImageFrames(path, frames, count);
}
