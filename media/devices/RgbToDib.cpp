// The camera's RGB rows as a 24-bit DIB.
#include <algorithm>
#include <cstring>

#include "media/devices/Camera.h"

DibHandle RgbToDib(std::span<const uint8_t> rgb, int width, int height) {
    if (width <= 0 || height <= 0 || width > kDibMaxDimension || height > kDibMaxDimension)
        return 0;
    const uint64_t rowBytes = static_cast<uint64_t>(width) * 3;
    if (rgb.size() < rowBytes * static_cast<uint64_t>(height))
        return 0;
    DibHandle dib = NewDib(width, height, 24);
    if (!dib)
        return 0;
    {
        LockedDib locked(dib);
        if (!locked) {
            DisposeHandle(dib);
            return 0;
        }
        for (int y = 0; y < height; ++y) {
            const std::span<uint8_t> row = locked.row(y);
            std::memcpy(row.data(), rgb.data() + rowBytes * static_cast<uint64_t>(y),
                        std::min<size_t>(row.size(), rowBytes));
        }
    }
    return dib;
}

DibHandle RgbHandleToDib(Handle rgb, int width, int height) {
    if (!rgb)
        return 0;
    HandleLock lock(rgb);
    return RgbToDib(lock.bytes(), width, height);
}
