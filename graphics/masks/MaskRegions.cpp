// Region scans over the pixel rows of DIBs.
#include "graphics/masks/MaskRegions.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "graphics/dib/Dib.h"

namespace {

struct Point {
    int32_t x;
    int32_t y;
};

bool SameSize(const PixelRows& a, const PixelRows& b) { return a.width == b.width && a.height == b.height; }

void Empty(MaskBits* mask, Rect32* found) {
    *mask = {};
    *found = {};
}

// Appends without letting a failed allocation escape: false when the queue cannot grow.
bool Push(std::vector<Point>& queue, Point p) {
    try {
        queue.push_back(p);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

uint32_t PixelRows::Value(int x, int y) const {
    const int row = bottomUp ? height - 1 - y : y;
    const uint8_t* p = image.data() + size_t{rowBytes} * static_cast<size_t>(row);
    switch (depth) {
    case 1:
        return (p[x / 8] >> (7 - x % 8)) & 1u;
    case 4:
        return x % 2 == 0 ? p[x / 2] >> 4 : p[x / 2] & 0x0Fu;
    case 8:
        return p[x];
    case 16:
        return p[2 * x] | uint32_t{p[2 * x + 1]} << 8;
    case 24:
        return p[3 * x] | uint32_t{p[3 * x + 1]} << 8 | uint32_t{p[3 * x + 2]} << 16;
    default:
        return p[4 * x] | uint32_t{p[4 * x + 1]} << 8 | uint32_t{p[4 * x + 2]} << 16 | uint32_t{p[4 * x + 3]} << 24;
    }
}

bool PixelRows::IsBlack(int x, int y) const {
    const uint32_t v = Value(x, y);
    switch (depth) {
    case 1:
    case 4:
    case 8:
        return IsBlackIndex(v);
    case 16:
        return (v & 0x7FFF) == 0;
    default:
        return (v & 0xFFFFFF) == 0;
    }
}

bool PixelRows::IsBlackIndex(uint32_t index) const {
    if (size_t{4} * index + 3 > table.size())
        return true;
    return table[4 * index] == 0 && table[4 * index + 1] == 0 && table[4 * index + 2] == 0;
}

bool ReadPixelRows(std::span<const uint8_t> dib, PixelRows* rows) {
    DibLayout layout;
    if (!ReadDibLayout(dib, layout))
        return false;
    rows->image = dib.subspan(layout.bitsOffset, layout.imageBytes);
    rows->table = dib.subspan(kDibInfoHeaderBytes, 4 * size_t{layout.tableEntries});
    rows->width = layout.width;
    rows->height = layout.height;
    rows->depth = layout.depth;
    rows->rowBytes = layout.rowBytes;
    rows->bottomUp = true;
    return true;
}

void LassoPointCompare(Rect32* bounds, int32_t xFrom, int32_t xTo, int32_t y) {
    bounds->left = std::min(bounds->left, xFrom);
    bounds->right = std::max(bounds->right, xTo);
    bounds->top = std::min(bounds->top, y);
    bounds->bottom = std::max(bounds->bottom, y);
}

bool ScanPolygonMask(const PixelRows& image, const PixelRows& polygon, const Rect32& lassoBounds, int32_t firstX,
                     int32_t firstY, bool fillGaps, MaskBits* mask, Rect32* found) {
    Empty(mask, found);
    if (!SameSize(image, polygon) || image.width <= 0 || image.height <= 0)
        return false;
    const int left = std::clamp(lassoBounds.left, 0, image.width);
    const int top = std::clamp(lassoBounds.top, 0, image.height);
    const int right = std::clamp(lassoBounds.right, left, image.width);
    const int bottom = std::clamp(lassoBounds.bottom, top, image.height);
    if (right == left || bottom == top)
        return false;
    const uint32_t background = image.Value(std::clamp(firstX, 0, image.width - 1), std::clamp(firstY, 0, image.height - 1));

    // Which pixels qualify, and per row and per column the first and last of them.
    MaskBits qualifying(right - left, bottom - top);
    std::vector<int> rowFirst(bottom - top, INT32_MAX), rowLast(bottom - top, -1);
    std::vector<int> columnFirst(right - left, INT32_MAX), columnLast(right - left, -1);
    Rect32 bounds = kEmptyRunBounds;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (image.Value(x, y) == background || !polygon.IsBlack(x, y))
                continue;
            qualifying.Set(x - left, y - top);
            rowFirst[y - top] = std::min(rowFirst[y - top], x);
            rowLast[y - top] = x;
            columnFirst[x - left] = std::min(columnFirst[x - left], y);
            columnLast[x - left] = y;
        }
        if (rowLast[y - top] >= 0)
            LassoPointCompare(&bounds, rowFirst[y - top], rowLast[y - top], y);
    }
    if (bounds.left > bounds.right)
        return false;

    *found = {bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1};
    if (!fillGaps) {
        *mask = CutMaskBits(qualifying, {found->left - left, found->top - top, found->right - left, found->bottom - top});
        return true;
    }
    MaskBits enclosed(found->right - found->left, found->bottom - found->top);
    for (int y = found->top; y < found->bottom; ++y) {
        for (int x = std::max(rowFirst[y - top], found->left); x <= rowLast[y - top]; ++x) {
            if (y >= columnFirst[x - left] && y <= columnLast[x - left])
                enclosed.Set(x - found->left, y - found->top);
        }
    }
    *mask = std::move(enclosed);
    return true;
}

bool ScanColorRun(const PixelRows& pixels, int32_t seedX, int32_t seedY, MaskBits* mask, Rect32* found) {
    Empty(mask, found);
    if (!pixels.Contains(seedX, seedY))
        return false;
    const size_t width = static_cast<size_t>(pixels.width);
    std::unique_ptr<uint8_t[]> visited(new (std::nothrow) uint8_t[width * static_cast<size_t>(pixels.height)]());
    if (!visited)
        return false;
    const uint32_t seed = pixels.Value(seedX, seedY);
    Rect32 bounds = {seedX, seedY, seedX, seedY};  // inclusive while scanning
    visited[seedY * width + seedX] = 1;

    // Level by level: only the frontier is queued, not the whole area.
    std::vector<Point> current{{seedX, seedY}}, next;
    bool room = true;
    while (!current.empty() && room) {
        next.clear();
        for (const Point p : current) {
            const Point neighbours[4] = {{p.x - 1, p.y}, {p.x + 1, p.y}, {p.x, p.y - 1}, {p.x, p.y + 1}};
            for (const Point n : neighbours) {
                if (!pixels.Contains(n.x, n.y) || visited[n.y * width + n.x] || pixels.Value(n.x, n.y) != seed)
                    continue;
                // Out of room: the area found so far is the result.
                if (!Push(next, n)) {
                    room = false;
                    break;
                }
                visited[n.y * width + n.x] = 1;
                LassoPointCompare(&bounds, n.x, n.x, n.y);
            }
            if (!room)
                break;
        }
        current.swap(next);
    }

    MaskBits area(bounds.right - bounds.left + 1, bounds.bottom - bounds.top + 1);
    if (area.empty())
        return false;
    for (int y = bounds.top; y <= bounds.bottom; ++y) {
        for (int x = bounds.left; x <= bounds.right; ++x) {
            if (visited[y * width + x])
                area.Set(x - bounds.left, y - bounds.top);
        }
    }
    *mask = std::move(area);
    *found = {bounds.left, bounds.top, bounds.right + 1, bounds.bottom + 1};
    return true;
}

bool ScanFloodFillChange(const PixelRows& before, const PixelRows& after, int32_t seedX, int32_t seedY, MaskBits* mask,
                         Rect32* found) {
    Empty(mask, found);
    if (!SameSize(before, after) || !before.Contains(seedX, seedY))
        return false;
    int least = seedX, greatest = seedX;
    // Whether the row has a changed pixel; widens the column range by the row's changes.
    auto rowChanged = [&](int y) {
        bool any = false;
        for (int x = 0; x < before.width; ++x) {
            if (before.Value(x, y) != after.Value(x, y)) {
                any = true;
                least = std::min(least, x);
                greatest = std::max(greatest, x);
            }
        }
        return any;
    };
    int bottom = seedY;
    while (bottom < before.height && rowChanged(bottom))
        ++bottom;
    if (bottom == seedY)
        return false;
    int top = seedY;
    while (top > 0 && rowChanged(top - 1))
        --top;
    if (least == greatest)
        return false;

    MaskBits area(greatest - least + 1, bottom - top);
    for (int y = top; y < bottom; ++y) {
        for (int x = least; x <= greatest; ++x) {
            if (before.Value(x, y) != after.Value(x, y))
                area.Set(x - least, y - top);
        }
    }
    *mask = std::move(area);
    *found = {least, top, greatest + 1, bottom};
    return true;
}
