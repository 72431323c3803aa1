// Regions as lists of rectangles: one-bit maps become runs of set bits, a run that continues
// the same run of the row above grows that rectangle down.
#include "quicktime/dll/QtStandInRegions.h"

#include <algorithm>
#include <cstring>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInHandles.h"

namespace {

constexpr uint32_t kRegionHeader = 10;  // size, then the bounding box
constexpr int kMaxRegionSide = 0x7FFF;

bool WriteRegion(QtRgnHandle region, const std::vector<QtRect>& rects) {
    QtRect box = {0, 0, 0, 0};
    for (size_t i = 0; i < rects.size(); ++i) {
        const QtRect& r = rects[i];
        if (i == 0) {
            box = r;
            continue;
        }
        box.top = std::min(box.top, r.top);
        box.left = std::min(box.left, r.left);
        box.bottom = std::max(box.bottom, r.bottom);
        box.right = std::max(box.right, r.right);
    }
    const uint32_t size = kRegionHeader + static_cast<uint32_t>(rects.size() * sizeof(QtRect));
    if (!StandInSetHandleSize(region, size))
        return false;
    uint8_t* p = StandInHandleBytes(region).data();
    const uint16_t shortSize = size > 0xFFFF ? 0xFFFF : static_cast<uint16_t>(size);
    std::memcpy(p, &shortSize, 2);
    std::memcpy(p + 2, &box, sizeof box);
    if (!rects.empty())
        std::memcpy(p + kRegionHeader, rects.data(), rects.size() * sizeof(QtRect));
    return true;
}

intptr_t DoNewRgn(const QtWord*) {
    QtHandle h = StandInNewHandle(kRegionHeader);
    if (h && !WriteRegion(h, {})) {
        StandInDisposeHandle(h);
        return 0;
    }
    return reinterpret_cast<intptr_t>(h);
}

intptr_t DoDisposeRgn(const QtWord* args) {
    StandInDisposeHandle(reinterpret_cast<QtRgnHandle>(args[0]));
    return kQtNoErr;
}

intptr_t DoPtInRgn(const QtWord* args) {
    return StandInPointInRegion(QtPointFromWord(args[0]), reinterpret_cast<QtRgnHandle>(args[1])) ? 1 : 0;
}

intptr_t DoBitMapToRegion(const QtWord* args) {
    auto region = reinterpret_cast<QtRgnHandle>(args[0]);
    const auto* bits = reinterpret_cast<const QtBitMap*>(args[1]);
    if (!StandInIsHandle(region) || !bits)
        return kQtParamErr;
    return StandInRegionFromBits(region, *bits) ? kQtNoErr : kQtParamErr;
}

intptr_t DoMacOffsetRect(const QtWord* args) {
    auto* rect = reinterpret_cast<QtRect*>(args[0]);
    if (!rect)
        return kQtParamErr;
    const auto dh = static_cast<int16_t>(args[1]);
    const auto dv = static_cast<int16_t>(args[2]);
    rect->left = static_cast<int16_t>(rect->left + dh);
    rect->right = static_cast<int16_t>(rect->right + dh);
    rect->top = static_cast<int16_t>(rect->top + dv);
    rect->bottom = static_cast<int16_t>(rect->bottom + dv);
    return kQtNoErr;
}

constexpr StandInRow kRegionRows[] = {
    {kQtSelNewRgn, DoNewRgn},
    {kQtSelDisposeRgn, DoDisposeRgn},
    {kQtSelPtInRgn, DoPtInRgn},
    {kQtSelBitMapToRegion, DoBitMapToRegion},
    {kQtSelMacOffsetRect, DoMacOffsetRect},
};

}  // namespace

std::span<const StandInRow> StandInRegionRows() { return kRegionRows; }

std::vector<QtRect> StandInRegionRects(QtRgnHandle region) {
    const std::span<uint8_t> bytes = StandInHandleBytes(region);
    std::vector<QtRect> rects;
    if (bytes.size() < kRegionHeader)
        return rects;
    rects.resize((bytes.size() - kRegionHeader) / sizeof(QtRect));
    if (!rects.empty())
        std::memcpy(rects.data(), bytes.data() + kRegionHeader, rects.size() * sizeof(QtRect));
    return rects;
}

bool StandInPointInRegion(QtPoint point, QtRgnHandle region) {
    for (const QtRect& r : StandInRegionRects(region))
        if (point.v >= r.top && point.v < r.bottom && point.h >= r.left && point.h < r.right)
            return true;
    return false;
}

bool StandInRegionFromBits(QtRgnHandle region, const QtBitMap& bits) {
    const QtRect& b = bits.bounds;
    const int width = b.right - b.left;
    const int height = b.bottom - b.top;
    const int rowBytes = bits.rowBytes & 0x3FFF;
    if (width < 0 || height < 0 || width > kMaxRegionSide || height > kMaxRegionSide ||
        (height > 0 && width > 0 && (!bits.baseAddr || rowBytes * 8 < width))) {
        WriteRegion(region, {});
        return false;
    }
    std::vector<QtRect> rects;
    std::vector<size_t> open;  // rectangles whose bottom is the row above
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bits.baseAddr + static_cast<size_t>(y) * rowBytes;
        std::vector<size_t> next;
        int x = 0;
        while (x < width) {
            while (x < width && !(row[x >> 3] & (0x80 >> (x & 7))))
                ++x;
            if (x >= width)
                break;
            const int start = x;
            while (x < width && (row[x >> 3] & (0x80 >> (x & 7))))
                ++x;
            const auto left = static_cast<int16_t>(b.left + start);
            const auto right = static_cast<int16_t>(b.left + x);
            const auto top = static_cast<int16_t>(b.top + y);
            size_t grown = rects.size();
            for (size_t i : open)
                if (rects[i].left == left && rects[i].right == right && rects[i].bottom == top)
                    grown = i;
            if (grown < rects.size()) {
                rects[grown].bottom = static_cast<int16_t>(top + 1);
            } else {
                rects.push_back({top, left, static_cast<int16_t>(top + 1), right});
            }
            next.push_back(grown);
        }
        open.swap(next);
    }
    return WriteRegion(region, rects);
}
