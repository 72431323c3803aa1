// Rotating and scaling a picture (and its mask) about its centre, nearest pixel: the neutral
// pixel work of RotateScaleBitmap (RotateScale_win.cpp).
#pragma once

#include <cstdint>
#include <vector>

struct PixelImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // rows top-down, width each
};

// The result just holds the turned and scaled picture; pixels outside it take fill. With a
// mask (same size as the picture, nonzero inside) the result's mask says which pixels came from
// inside. Scales of 0 or below, or results above 8192 pixels a side, give an empty image.
PixelImage RotateScalePixels(const PixelImage& picture, const PixelImage* mask, double angleDegrees,
                             double scaleX, double scaleY, uint32_t fill, PixelImage* maskOut);
