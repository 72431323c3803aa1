// Paths: the recorded points of an animated object, their byte order, edits and hit tests.
#include "media/animation/AnimRecord.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr int kMarkHalf = 3;

uint32_t PointAt(uint32_t index) { return kPathPoints + kPathPointBytes * index; }

// The path's bytes when they hold every point of its count; else empty.
std::span<uint8_t> PathBytes(const HandleLock& lock) {
    const std::span<uint8_t> bytes = lock.bytes();
    if (bytes.size() < kPathFixedBytes)
        return {};
    const uint64_t need = PointAt(0) + uint64_t{kPathPointBytes} * GetU32(bytes, kPathPointCount);
    return need <= bytes.size() ? bytes : std::span<uint8_t>();
}

PathPoint ReadPoint(std::span<const uint8_t> p, uint32_t at) {
    PathPoint point;
    point.x = GetI16(p, at + kPointX);
    point.y = GetI16(p, at + kPointY);
    point.z = GetI16(p, at + kPointZ);
    point.time = GetU32(p, at + kPointTime);
    point.selected = p[at + kPointSelected];
    return point;
}

void WritePoint(std::span<uint8_t> p, uint32_t at, const PathPoint& point) {
    SetU16(p, at + kPointX, static_cast<uint16_t>(point.x));
    SetU16(p, at + kPointY, static_cast<uint16_t>(point.y));
    SetU16(p, at + kPointZ, static_cast<uint16_t>(point.z));
    SetU32(p, at + kPointTime, point.time);
    p[at + kPointSelected] = point.selected;
}

// Visits every point in place.
template <class F>
void ForEachPoint(Handle path, F f) {
    HandleLock lock(path);
    const std::span<uint8_t> p = PathBytes(lock);
    if (p.empty())
        return;
    const uint32_t count = GetU32(p, kPathPointCount);
    for (uint32_t i = 0; i < count; ++i)
        f(p, PointAt(i));
}

}  // namespace

int NewPathRecord(Handle* out, uint16_t kind, AnimPair identity, AnimPair owner) {
    if (NewAnimRecord(out, kPathNewBytes, kPath, identity, owner) != 0)
        return -1;
    HandleLock lock(*out);
    const std::span<uint8_t> p = lock.bytes();
    SetU16(p, kPathReferences, 1);
    SetU16(p, kPathKind, kind);
    return 0;
}

void ReleasePathRecord(Handle path) {
    if (!path)
        return;
    uint16_t references = 0;
    {
        HandleLock lock(path);
        const std::span<uint8_t> p = lock.bytes();
        references = GetU16(p, kPathReferences);
        if (references > 0)
            SetU16(p, kPathReferences, --references);
    }
    if (references == 0)
        AnimDisposeHandle(path);
}

void ConvertPathRecord(std::span<uint8_t> path, bool toFile) {
    if (path.size() < kPathFixedBytes)
        return;
    const uint32_t count = toFile ? GetU32(path, kPathPointCount) : GetBE32(path, kPathPointCount);
    for (uint32_t at : {0u, 4u, 10u, 14u, 18u, 22u, 106u})
        SwapField32(path, at);
    for (uint32_t at : {8u, 28u, 30u, 32u, 34u, 104u})
        SwapField16(path, at);
    for (uint32_t i = 0; i < count && PointAt(i) + kPathPointBytes <= path.size(); ++i) {
        SwapField32(path, PointAt(i) + kPointTime);
        for (uint32_t at : {kPointX, kPointY, kPointZ})
            SwapField16(path, PointAt(i) + at);
    }
}

void FlattenPathRecord(Handle path) {
    {
        HandleLock lock(path);
        ConvertPathRecord(lock.bytes(), true);
    }
    AnimPadHandleEven(path);
}

void UnflattenPathRecord(Handle path) {
    HandleLock lock(path);
    ConvertPathRecord(lock.bytes(), false);
}

void SetPathOwner(Handle path, AnimPair owner) {
    HandleLock lock(path);
    SetU32(PathBytes(lock), kAnimOwner, owner.kind);
    SetU32(PathBytes(lock), kAnimOwner + 4, owner.number);
}

void SetPathFlag(Handle path, uint16_t value) {
    HandleLock lock(path);
    SetU16(PathBytes(lock), kPathFlag, value);
}

uint32_t GetPathPointCount(Handle path) {
    HandleLock lock(path);
    return GetU32(PathBytes(lock), kPathPointCount);
}

bool GetPathPoint(Handle path, uint32_t index, PathPoint* point) {
    HandleLock lock(path);
    const std::span<uint8_t> p = PathBytes(lock);
    if (p.empty() || index >= GetU32(p, kPathPointCount))
        return false;
    *point = ReadPoint(p, PointAt(index));
    return true;
}

bool SetPathPoint(Handle path, uint32_t index, const PathPoint& point) {
    HandleLock lock(path);
    const std::span<uint8_t> p = PathBytes(lock);
    if (p.empty() || index >= GetU32(p, kPathPointCount))
        return false;
    WritePoint(p, PointAt(index), point);
    return true;
}

uint32_t GetPathPointTime(Handle path, uint32_t index) {
    PathPoint point;
    return GetPathPoint(path, index, &point) ? point.time : 0;
}

uint32_t SumPathPointTimes(Handle path, uint32_t first, uint32_t last) {
    uint32_t sum = 0;
    for (uint32_t i = first; i <= last && i < GetPathPointCount(path); ++i)
        sum += GetPathPointTime(path, i);
    return sum;
}

int InsertPathPointAfter(Handle path, int32_t index, const PathPoint& point) {
    const uint32_t count = GetPathPointCount(path);
    const uint32_t at = static_cast<uint32_t>(std::clamp<int64_t>(int64_t{index} + 1, 0, count));
    uint8_t bytes[kPathPointBytes] = {};
    WritePoint(bytes, 0, point);
    if (InsertBytesInHandle(path, bytes, PointAt(at), kPathPointBytes) != 0)
        return -1;
    HandleLock lock(path);
    SetU32(lock.bytes(), kPathPointCount, count + 1);
    return 0;
}

int InsertPathPoints(Handle path, Handle points, uint32_t index) {
    const uint32_t count = GetPathPointCount(path);
    const uint32_t added = AnimGetHandleSize(points) / kPathPointBytes;
    if (added == 0)
        return 0;
    const uint32_t at = std::min(index, count);
    HandleLock source(points);
    if (!source || InsertBytesInHandle(path, source.get(), PointAt(at), added * kPathPointBytes) != 0)
        return -1;
    HandleLock lock(path);
    SetU32(lock.bytes(), kPathPointCount, count + added);
    return 0;
}

int DeletePathPoint(Handle path, uint32_t index) {
    const uint32_t count = GetPathPointCount(path);
    if (index >= count || DeleteFromHandle(path, PointAt(index), kPathPointBytes) != 0)
        return -1;
    HandleLock lock(path);
    SetU32(lock.bytes(), kPathPointCount, count - 1);
    return 0;
}

void SetPathPointSelected(Handle path, uint32_t index, bool selected) {
    HandleLock lock(path);
    const std::span<uint8_t> p = PathBytes(lock);
    if (!p.empty() && index < GetU32(p, kPathPointCount))
        p[PointAt(index) + kPointSelected] = selected ? 1 : 0;
}

void SelectAllPathPoints(Handle path, bool selected) {
    ForEachPoint(path, [&](std::span<uint8_t> p, uint32_t at) { p[at + kPointSelected] = selected ? 1 : 0; });
}

void SelectPathPointsInRect(Handle path, const Rect32& rect) {
    ForEachPoint(path, [&](std::span<uint8_t> p, uint32_t at) {
        const PathPoint point = ReadPoint(p, at);
        if (point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom)
            p[at + kPointSelected] = 1;
    });
}

void MoveSelectedPathPoints(Handle path, int dx, int dy, int dz) {
    ForEachPoint(path, [&](std::span<uint8_t> p, uint32_t at) {
        PathPoint point = ReadPoint(p, at);
        if (!point.selected)
            return;
        point.x = static_cast<int16_t>(point.x + dx);
        point.y = static_cast<int16_t>(point.y + dy);
        point.z = static_cast<int16_t>(point.z + dz);
        WritePoint(p, at, point);
    });
}

void OffsetSelectedPathPoints(Handle path, int dx, int dy) { MoveSelectedPathPoints(path, dx, dy, 0); }

Rect32 PathPointMark(const PathPoint& point) {
    return {point.x - kMarkHalf, point.y - kMarkHalf, point.x + kMarkHalf, point.y + kMarkHalf};
}

int HitTestPathPoints(Handle path, int x, int y, PathPoint* point) {
    const uint32_t count = GetPathPointCount(path);
    for (uint32_t i = 0; i < count; ++i) {
        PathPoint p;
        if (!GetPathPoint(path, i, &p))
            break;
        const Rect32 mark = PathPointMark(p);
        if (x >= mark.left && x < mark.right && y >= mark.top && y < mark.bottom) {
            if (point)
                *point = p;
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool PointOnSegment(int ax, int ay, int bx, int by, int px, int py) {
    const int dx = bx - ax, dy = by - ay;
    const int64_t c = int64_t{py - ay} * dx - int64_t{px - ax} * dy;
    if (std::llabs(c) > std::abs(dx) + std::abs(dy))
        return false;
    const bool beforeA = (bx < ax && ax < px) || (by < ay && ay < py) || (px < ax && ax < bx) || (py < ay && ay < by);
    const bool afterB = (ax < bx && bx < px) || (ay < by && by < py) || (px < bx && bx < ax) || (py < by && by < ay);
    return !beforeA && !afterB;
}

bool HitTestPathSegments(Handle path, int x, int y, uint32_t* index) {
    const uint32_t count = GetPathPointCount(path);
    PathPoint a, b;
    for (uint32_t i = 0; i + 1 < count; ++i) {
        if (!GetPathPoint(path, i, &a) || !GetPathPoint(path, i + 1, &b))
            return false;
        if (PointOnSegment(a.x, a.y, b.x, b.y, x, y)) {
            *index = i;
            return true;
        }
    }
    return false;
}

bool PathBounds(Handle path, Rect32* bounds) {
    const uint32_t count = GetPathPointCount(path);
    if (count == 0)
        return false;
    for (uint32_t i = 0; i < count; ++i) {
        PathPoint p;
        GetPathPoint(path, i, &p);
        const Rect32 mark = PathPointMark(p);
        if (i == 0) {
            *bounds = mark;
        } else {
            bounds->left = std::min(bounds->left, mark.left);
            bounds->top = std::min(bounds->top, mark.top);
            bounds->right = std::max(bounds->right, mark.right);
            bounds->bottom = std::max(bounds->bottom, mark.bottom);
        }
    }
    return true;
}
