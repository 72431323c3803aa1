// The sprite header in memory: made new, its fields, the film and path it keeps, its byte order.
#include "media/animation/AnimRecord.h"

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kUnknownOwner = ResType("????");
constexpr uint32_t kDefaultInterval = 41;  // milliseconds: 24 frames or points a second

std::span<uint8_t> HeaderBytes(const HandleLock& lock) {
    std::span<uint8_t> bytes = lock.bytes();
    return bytes.size() >= kSpriteHeaderBytes ? bytes : std::span<uint8_t>();
}

// Runs f on the header's bytes (empty when the handle is short), the handle locked.
template <typename F>
auto OnHeader(Handle sprite, F f) {
    HandleLock lock(sprite);
    return f(HeaderBytes(lock));
}

}  // namespace

int NewSpriteHeader(Handle* out) {
    if (NewAnimRecord(out, kSpriteHeaderBytes, kSprt, {kSprt, 0}, {kUnknownOwner, 0}) != 0)
        return -1;
    HandleLock lock(*out);
    const std::span<uint8_t> h = lock.bytes();
    SetU32(h, kAnimLength, kSpriteHeaderBytes);
    h[kSpriteFloatGoing] = 1;
    h[kSpriteFloatReturning] = 1;
    SetU32(h, kSpriteFrameScale, 100);
    SetU32(h, kSpritePathScale, 100);
    SetU32(h, kSpriteFrameRepeats, 1);
    SetU32(h, kSpritePathRepeats, 1);
    SetU32(h, kSpritePathInterval, 1);
    return 0;
}

uint16_t GetSpriteWord(Handle sprite, uint32_t offset) {
    return OnHeader(sprite, [&](std::span<uint8_t> h) { return GetU16(h, offset); });
}
void SetSpriteWord(Handle sprite, uint32_t offset, uint16_t value) {
    OnHeader(sprite, [&](std::span<uint8_t> h) { SetU16(h, offset, value); });
}
uint32_t GetSpriteLong(Handle sprite, uint32_t offset) {
    return OnHeader(sprite, [&](std::span<uint8_t> h) { return GetU32(h, offset); });
}
void SetSpriteLong(Handle sprite, uint32_t offset, uint32_t value) {
    OnHeader(sprite, [&](std::span<uint8_t> h) { SetU32(h, offset, value); });
}
uint8_t GetSpriteByte(Handle sprite, uint32_t offset) {
    return OnHeader(sprite, [&](std::span<uint8_t> h) { return offset < h.size() ? h[offset] : uint8_t{0}; });
}
void SetSpriteByte(Handle sprite, uint32_t offset, uint8_t value) {
    OnHeader(sprite, [&](std::span<uint8_t> h) {
        if (offset < h.size())
            h[offset] = value;
    });
}

ShortRect GetSpriteBounds(Handle sprite) {
    HandleLock lock(sprite);
    const std::span<uint8_t> h = HeaderBytes(lock);
    return {GetI16(h, kSpriteBounds), GetI16(h, kSpriteBounds + 2), GetI16(h, kSpriteBounds + 4),
            GetI16(h, kSpriteBounds + 6)};
}

Handle GetSpriteFilm(Handle sprite) { return GetSpriteLong(sprite, kSpriteFilmHandle); }
Handle GetSpritePath(Handle sprite) { return GetSpriteLong(sprite, kSpritePathHandle); }

void SetSpriteTemplate(Handle sprite, uint16_t value) {
    if (value == kSpriteTemplateFromCounts) {
        const Handle path = GetSpritePath(sprite);
        const Handle film = GetSpriteFilm(sprite);
        const bool moving = path && GetPathPointCount(path) > 1;
        const bool frames = film && GetFilmFrameCount(film) > 1;
        value = moving ? (frames ? kTemplateFramesAndPath : kTemplatePathOnly) : (frames ? kTemplateFramesOnly : kTemplateStill);
    }
    SetSpriteWord(sprite, kSpriteTemplate, value);
}

Handle SwapSpriteFilm(Handle sprite, Handle film) {
    const Handle old = GetSpriteFilm(sprite);
    SetSpriteLong(sprite, kSpriteFilmHandle, film);
    const uint32_t count = film ? GetFilmFrameCount(film) : 0;
    {
        HandleLock lock(sprite);
        const std::span<uint8_t> h = HeaderBytes(lock);
        if (h.empty())
            return old;
        if (film && GetFilmKind(film) == kFilmMovie) {
            SetU16(h, kSpriteTemplate, kTemplateFramesOnly);
            SetU16(h, kSpriteEndCondition, kEndsWithMovie);
            SetU16(h, kSpriteFrameStep, kFrameStepMovie);
            SetU32(h, kSpriteFrameRepeats, 1);
            SetU16(h, kSpriteFrameTiming, kTimingEveryStep);
        } else if (count < 2) {
            SetU16(h, kSpriteFrameStep, kFrameStepNone);
            SetU16(h, kSpriteFrameTiming, kTimingNone);
            SetU32(h, kSpriteFrameInterval, 0);
            SetU16(h, kSpriteIntervalSet, 0);
            SetU32(h, kSpriteFrameIncrement, 0);
        } else {
            SetU16(h, kSpriteFrameStep, kFrameStepForward);
            SetU16(h, kSpriteFrameTiming, kTimingTimer);
            SetU32(h, kSpriteFrameInterval, kDefaultInterval);
            SetU16(h, kSpriteIntervalSet, 0);
            SetU32(h, kSpriteFrameIncrement, 1);
        }
    }
    SetSpriteTemplate(sprite, kSpriteTemplateFromCounts);
    HandleLock lock(sprite);
    const std::span<uint8_t> h = HeaderBytes(lock);
    SetU32(h, kSpriteStartFrame, 0);
    SetU32(h, kSpriteFirstFrame, 0);
    SetU32(h, kSpriteEndFrame, count);
    ShortRect rect{};
    if (film && GetFilmFrameRect(film, 0, &rect)) {
        SetU16(h, kSpriteBounds, static_cast<uint16_t>(rect.left));
        SetU16(h, kSpriteBounds + 2, static_cast<uint16_t>(rect.top));
        SetU16(h, kSpriteBounds + 4, static_cast<uint16_t>(rect.right));
        SetU16(h, kSpriteBounds + 6, static_cast<uint16_t>(rect.bottom));
    }
    return old;
}

void SetSpritePath(Handle sprite, Handle path) {
    const Handle old = GetSpritePath(sprite);
    if (old && old != path)
        ReleasePathRecord(old);
    const uint32_t count = path ? GetPathPointCount(path) : 0;
    {
        HandleLock lock(sprite);
        const std::span<uint8_t> h = HeaderBytes(lock);
        if (h.empty())
            return;
        SetU32(h, kSpritePathHandle, path);
        const bool moving = count >= 2;
        SetU16(h, kSpritePathStep, moving ? kPathStepForward : kPathStepNone);
        SetU16(h, kSpritePathTiming, moving ? kTimingTimer : kTimingNone);
        SetU32(h, kSpritePathInterval, moving ? kDefaultInterval : 0);
        SetU16(h, kSpritePathSource, moving ? kPathSourceRecorded : kPathSourceInterval);
        SetU32(h, kSpritePathIncrement, moving ? 1 : 0);
        SetU32(h, kSpriteFirstPoint, 0);
        SetU32(h, kSpriteEndPoint, count);
        SetU32(h, kSpriteStartPoint, 0);
    }
    SetSpriteTemplate(sprite, kSpriteTemplateFromCounts);
}

Handle DisposeSpriteKeepFilm(Handle sprite) {
    if (!sprite)
        return 0;
    const Handle film = GetSpriteFilm(sprite);
    const Handle path = GetSpritePath(sprite);
    if (path)
        ReleasePathRecord(path);
    AnimDisposeHandle(sprite);
    return film;
}

namespace {

// The converted fields of the header: (offset, width) runs of equal width.
struct FieldRun {
    uint16_t offset;
    uint8_t width;
    uint8_t count;
};
constexpr FieldRun kSpriteFields[] = {
    {0, 4, 2},   {8, 2, 1},   {10, 4, 4},  {50, 2, 3},  {80, 2, 1},  {84, 4, 4},  {104, 4, 1},
    {112, 4, 3}, {140, 2, 2}, {144, 2, 9}, {174, 2, 5}, {212, 4, 2}, {228, 4, 2}, {244, 2, 2},
    {272, 2, 1}, {276, 4, 2}, {288, 4, 1}, {296, 4, 1}, {304, 4, 4}, {320, 4, 1}, {332, 2, 2},
    {360, 2, 1}, {364, 4, 2}, {376, 4, 1}, {384, 4, 1}, {392, 4, 3}, {404, 2, 12}, {448, 4, 4},
};

}  // namespace

void ConvertSpriteHeader(std::span<uint8_t> header, bool toFile) {
    if (header.size() < kSpriteHeaderBytes)
        return;
    (void)toFile;  // the same operation both ways
    for (const FieldRun& run : kSpriteFields)
        for (uint32_t i = 0; i < run.count; ++i) {
            const uint32_t at = run.offset + i * run.width;
            if (run.width == 2)
                SwapField16(header, at);
            else
                SwapField32(header, at);
        }
    ConvertRect(header, kSpriteBounds);
}

bool IsSpriteRunTimeByte(uint32_t offset) {
    struct Range {
        uint16_t first, end;
    };
    static constexpr Range kRunTime[] = {
        {26, 50},   {56, 80},   {100, 104}, {125, 130}, {132, 133}, {135, 136}, {162, 174},
        {184, 188}, {196, 212}, {220, 228}, {236, 244}, {248, 272}, {284, 288}, {292, 296},
        {300, 304}, {324, 332}, {336, 360}, {372, 376}, {380, 384}, {388, 392}, {472, 536},
    };
    for (const Range& r : kRunTime)
        if (offset >= r.first && offset < r.end)
            return true;
    return false;
}
