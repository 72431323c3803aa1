// CopyBits' copy and blend over pixel rows.
#include "quicktime/dll/QtStandInPixels.h"

#include <algorithm>

#include "quicktime/QtCalls.h"

namespace {

uint8_t* At(const StandInPixels& p, int x, int y) {
    return p.top + p.stride * y + static_cast<ptrdiff_t>(x) * (p.bitsPerPixel / 8);
}

bool Inside(const std::vector<QtRect>* clip, int x, int y) {
    if (!clip)
        return true;
    for (const QtRect& r : *clip)
        if (y >= r.top && y < r.bottom && x >= r.left && x < r.right)
            return true;
    return false;
}

uint8_t Mix(uint8_t source, uint8_t destination, uint32_t weight) {
    return static_cast<uint8_t>((source * weight + destination * (65535u - weight)) / 65535u);
}

}  // namespace

bool StandInPixelsUsable(const StandInPixels& p) {
    if (!p.top || p.width <= 0 || p.height <= 0 || (p.bitsPerPixel != 24 && p.bitsPerPixel != 32))
        return false;
    const ptrdiff_t row = static_cast<ptrdiff_t>(p.width) * (p.bitsPerPixel / 8);
    return p.stride >= row || -p.stride >= row;
}

void StandInGetPixel(const StandInPixels& p, int x, int y, uint8_t bgr[3]) {
    const uint8_t* q = At(p, x, y);
    bgr[0] = q[0];
    bgr[1] = q[1];
    bgr[2] = q[2];
}

void StandInSetPixel(const StandInPixels& p, int x, int y, const uint8_t bgr[3]) {
    uint8_t* q = At(p, x, y);
    q[0] = bgr[0];
    q[1] = bgr[1];
    q[2] = bgr[2];
    if (p.bitsPerPixel == 32)
        q[3] = 0;
}

bool StandInCopyPixels(const StandInPixels& source, const StandInPixels& destination, const QtRect& sourceRect,
                       const QtRect& destinationRect, int16_t mode, const QtRGBColor& opColor,
                       const std::vector<QtRect>* clip) {
    if (!StandInPixelsUsable(source) || !StandInPixelsUsable(destination))
        return false;
    const int sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    const int dw = destinationRect.right - destinationRect.left, dh = destinationRect.bottom - destinationRect.top;
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return false;
    const int x0 = std::max<int>(destinationRect.left, 0), x1 = std::min<int>(destinationRect.right, destination.width);
    const int y0 = std::max<int>(destinationRect.top, 0), y1 = std::min<int>(destinationRect.bottom, destination.height);
    const uint32_t weights[3] = {opColor.blue, opColor.green, opColor.red};
    for (int y = y0; y < y1; ++y) {
        const int sy = sourceRect.top + static_cast<int>(static_cast<int64_t>(y - destinationRect.top) * sh / dh);
        if (sy < 0 || sy >= source.height)
            continue;
        for (int x = x0; x < x1; ++x) {
            const int sx = sourceRect.left + static_cast<int>(static_cast<int64_t>(x - destinationRect.left) * sw / dw);
            if (sx < 0 || sx >= source.width || !Inside(clip, x, y))
                continue;
            uint8_t s[3], d[3];
            StandInGetPixel(source, sx, sy, s);
            if (mode == kQtBlendMode) {
                StandInGetPixel(destination, x, y, d);
                for (int c = 0; c < 3; ++c)
                    d[c] = Mix(s[c], d[c], weights[c]);
                StandInSetPixel(destination, x, y, d);
            } else {
                StandInSetPixel(destination, x, y, s);
            }
        }
    }
    return true;
}
