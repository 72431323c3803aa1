// Rotating and scaling pixels.
#include "paint/RotateScale.h"

#include <algorithm>
#include <cmath>
#include <numbers>

PixelImage RotateScalePixels(const PixelImage& picture, const PixelImage* mask, double angleDegrees,
                             double scaleX, double scaleY, uint32_t fill, PixelImage* maskOut) {
    constexpr int kMaxSide = 8192;
    PixelImage out;
    if (maskOut)
        *maskOut = {};
    const int w = picture.width, h = picture.height;
    if (w <= 0 || h <= 0 || picture.pixels.size() < static_cast<size_t>(w) * h || !(scaleX > 0) || !(scaleY > 0))
        return out;
    if (mask && (mask->width != w || mask->height != h || mask->pixels.size() < picture.pixels.size()))
        mask = nullptr;
    const double radians = angleDegrees * std::numbers::pi / 180.0;
    double c = std::cos(radians), s = std::sin(radians);
    // Exact quarter turns stay exact.
    if (std::fabs(c) < 1e-12)
        c = 0;
    if (std::fabs(s) < 1e-12)
        s = 0;
    const double sw = w * scaleX, sh = h * scaleY;
    const double outW = std::fabs(sw * c) + std::fabs(sh * s);
    const double outH = std::fabs(sw * s) + std::fabs(sh * c);
    if (!(outW < kMaxSide) || !(outH < kMaxSide))
        return out;
    out.width = std::max(1, static_cast<int>(std::lround(outW)));
    out.height = std::max(1, static_cast<int>(std::lround(outH)));
    out.pixels.assign(static_cast<size_t>(out.width) * out.height, fill);
    if (maskOut) {
        maskOut->width = out.width;
        maskOut->height = out.height;
        maskOut->pixels.assign(out.pixels.size(), 0);
    }
    // Each result pixel's centre is taken back into the source.
    const double cxOut = out.width / 2.0, cyOut = out.height / 2.0;
    const double cxIn = w / 2.0, cyIn = h / 2.0;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const double dx = x + 0.5 - cxOut, dy = y + 0.5 - cyOut;
            const double ux = (dx * c + dy * s) / scaleX;
            const double uy = (-dx * s + dy * c) / scaleY;
            const int sx = static_cast<int>(std::floor(ux + cxIn));
            const int sy = static_cast<int>(std::floor(uy + cyIn));
            if (sx < 0 || sy < 0 || sx >= w || sy >= h)
                continue;
            const size_t from = static_cast<size_t>(sy) * w + sx;
            if (mask && !mask->pixels[from])
                continue;
            const size_t to = static_cast<size_t>(y) * out.width + x;
            out.pixels[to] = picture.pixels[from];
            if (maskOut)
                maskOut->pixels[to] = 1;
        }
    }
    return out;
}
