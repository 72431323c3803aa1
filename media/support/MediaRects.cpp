#include "media/support/MediaRects.h"

#include <algorithm>

Rect32 CentreRectIn(const Rect32& rect, const Rect32& client) {
    const int32_t width = rect.right - rect.left;
    const int32_t height = rect.bottom - rect.top;
    Rect32 out{};
    out.left = (client.right - width - client.left) / 2;
    out.top = (client.bottom - client.top - height) / 2;
    out.right = out.left + width;
    out.bottom = out.top + height;
    return out;
}

Rect32 FitRectIn(const Rect32& rect, const Rect32& client, bool margins) {
    Rect32 area = client;
    if (margins) {
        InflateRectBy(&area, -kFitMargin, -kFitMargin);
        area.top += kFitTopExtra;
        area.bottom -= kFitBottomFree;
    }
    // A window smaller than its margins leaves no room rather than a negative one.
    const int32_t areaWidth = std::max(area.right - area.left, 0);
    const int32_t areaHeight = std::max(area.bottom - area.top, 0);
    int32_t width = rect.right - rect.left;
    int32_t height = rect.bottom - rect.top;
    if (width > areaWidth || height > areaHeight) {
        const float across = static_cast<float>(areaWidth) / static_cast<float>(std::max(width, 1));
        const float down = static_cast<float>(areaHeight) / static_cast<float>(std::max(height, 1));
        const float scale = std::min(across, down);
        width = static_cast<int32_t>(static_cast<float>(width) * scale);
        height = static_cast<int32_t>(static_cast<float>(height) * scale);
    }
    Rect32 out{};
    out.left = client.left + (client.right - client.left - width) / 2;
    out.top = area.top + (areaHeight - height) / 2;
    out.right = out.left + width;
    out.bottom = out.top + height;
    return out;
}

Rect32 BottomAlignRectIn(const Rect32& rect, const Rect32& client) {
    const int32_t height = rect.bottom - rect.top;
    const int32_t clientHeight = client.bottom - client.top;
    return Rect32{0, clientHeight - height, rect.right - rect.left, clientHeight};
}
