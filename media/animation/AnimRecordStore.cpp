// The stored 'Sprt' record: read into a sprite header with its path and flat film, every
// stored length checked before anything is copied, and written back from them.
#include "media/animation/AnimRecord.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

void Fail(AnimRecordFault* fault, AnimRecordFault why) {
    if (fault)
        *fault = why;
}

// A packed file reference: the path and its NUL, a pad byte after an even path, the volume and
// folder numbers, then the name and its NUL, all inside the block.
bool IsWholeFileRef(std::span<const uint8_t> ref) {
    const auto pathEnd = std::find(ref.begin(), ref.end(), uint8_t{0});
    if (pathEnd == ref.end())
        return false;
    const size_t pathLength = static_cast<size_t>(pathEnd - ref.begin());
    const size_t name = pathLength + 1 + (pathLength % 2 == 0 ? 1 : 0) + 6;
    return name < ref.size() && std::find(ref.begin() + name, ref.end(), uint8_t{0}) != ref.end();
}

// The film's stored bytes pass every check of its counts and block lengths.
AnimRecordFault CheckStoredFilm(std::span<const uint8_t> film) {
    if (film.size() < kFilmFixedBytes)
        return AnimRecordFault::FilmLength;
    const uint32_t count = GetBE32(film, kFilmFrameCount);
    const uint64_t frames = uint64_t{kFilmFixedBytes} + uint64_t{kFilmFrameBytes} * count;
    if (frames > film.size())
        return AnimRecordFault::FilmLength;
    const uint64_t picture = GetBE32(film, kFilmPictureLength);
    const uint64_t frameBlock = GetBE32(film, kFilmFrameBlockLength);
    const uint64_t mask = GetBE32(film, kFilmMaskLength);
    if (frames + picture + frameBlock + mask > film.size())
        return AnimRecordFault::Blocks;
    const uint16_t kind = GetBE16(film, kFilmKind);
    if (kind == kFilmPerFrame) {
        for (uint32_t i = 1; i < count; ++i) {
            const uint32_t at = kFilmFrames + kFilmFrameBytes * i;
            const uint64_t end = uint64_t{GetBE32(film, at + kFramePictureOffset)} + GetBE32(film, at + kFramePictureLength);
            if (end > frameBlock)
                return AnimRecordFault::FramePictures;
        }
    } else if (kind == kFilmMovie) {
        if (!IsWholeFileRef(film.subspan(static_cast<size_t>(frames + picture), static_cast<size_t>(frameBlock))))
            return AnimRecordFault::MovieRef;
    }
    return AnimRecordFault::None;
}

void ZeroWhere(std::span<uint8_t> bytes, bool (*runTime)(uint32_t), uint32_t end) {
    for (uint32_t i = 0; i < end && i < bytes.size(); ++i)
        if (runTime(i))
            bytes[i] = 0;
}

}  // namespace

const char* AnimRecordFaultText(AnimRecordFault fault) {
    switch (fault) {
    case AnimRecordFault::None: return "none";
    case AnimRecordFault::NotSprite: return "shorter than its header or not 'Sprt'";
    case AnimRecordFault::Lengths: return "the header's lengths pass the record";
    case AnimRecordFault::PathLength: return "the path's points pass its length";
    case AnimRecordFault::FilmLength: return "the film's frames pass its length";
    case AnimRecordFault::Blocks: return "the film's blocks pass its length";
    case AnimRecordFault::FramePictures: return "a frame's picture passes the frame block";
    case AnimRecordFault::MovieRef: return "the movie's file reference is not whole";
    case AnimRecordFault::Memory: return "no memory";
    }
    return "unknown";
}

int ReadStoredAnimRecord(std::span<const uint8_t> stored, Handle* out, AnimRecordFault* fault) {
    *out = 0;
    Fail(fault, AnimRecordFault::None);
    if (stored.size() < kSpriteHeaderBytes || GetBE32(stored, kAnimTag) != kSprt) {
        Fail(fault, AnimRecordFault::NotSprite);
        return -1;
    }
    const uint64_t extraLength = GetBE32(stored, kSpriteExtraLength);
    const uint64_t pathLength = GetBE32(stored, kSpritePathLength);
    const uint64_t filmLength = GetBE32(stored, kSpriteFilmLength);
    if (kSpriteHeaderBytes + extraLength + pathLength + filmLength > stored.size()) {
        Fail(fault, AnimRecordFault::Lengths);
        return -1;
    }
    const std::span<const uint8_t> path = stored.subspan(static_cast<size_t>(kSpriteHeaderBytes + extraLength),
                                                         static_cast<size_t>(pathLength));
    const std::span<const uint8_t> film = stored.subspan(static_cast<size_t>(kSpriteHeaderBytes + extraLength + pathLength),
                                                         static_cast<size_t>(filmLength));
    if (!path.empty() && (path.size() < kPathFixedBytes ||
                          kPathFixedBytes + uint64_t{kPathPointBytes} * GetBE32(path, kPathPointCount) > path.size())) {
        Fail(fault, AnimRecordFault::PathLength);
        return -1;
    }
    if (const AnimRecordFault why = CheckStoredFilm(film); why != AnimRecordFault::None) {
        Fail(fault, why);
        return -1;
    }

    Handle sprite = 0, filmHandle = 0, pathHandle = 0;
    if (AnimPtrToHandle(stored.first(kSpriteHeaderBytes), &sprite) != 0 || AnimPtrToHandle(film, &filmHandle) != 0 ||
        (!path.empty() && AnimPtrToHandle(path, &pathHandle) != 0)) {
        AnimDisposeHandle(sprite);
        AnimDisposeHandle(filmHandle);
        AnimDisposeHandle(pathHandle);
        Fail(fault, AnimRecordFault::Memory);
        return -1;
    }
    HandleLock header(sprite);
    const std::span<uint8_t> h = header.bytes();
    ConvertSpriteHeader(h, false);
    ZeroWhere(h, IsSpriteRunTimeByte, kSpriteHeaderBytes);
    // The film and the path belong to the sprite: their owner is its identity.
    const uint32_t identityKind = GetU32(h, kAnimIdentity), identityNumber = GetU32(h, kAnimIdentity + 4);
    {
        HandleLock lock(filmHandle);
        const std::span<uint8_t> f = lock.bytes();
        ConvertFilmRecord(f, false);
        ZeroWhere(f, IsFilmRunTimeByte, FilmBytesFor(GetU32(f, kFilmFrameCount)));
        SetU32(f, kAnimOwner, identityKind);
        SetU32(f, kAnimOwner + 4, identityNumber);
    }
    if (pathHandle) {
        HandleLock lock(pathHandle);
        const std::span<uint8_t> p = lock.bytes();
        ConvertPathRecord(p, false);
        SetU16(p, kPathReferences, 1);
        SetU32(p, kAnimOwner, identityKind);
        SetU32(p, kAnimOwner + 4, identityNumber);
    }
    SetU32(h, kSpriteFilmHandle, filmHandle);
    SetU32(h, kSpritePathHandle, pathHandle);
    *out = sprite;
    return 0;
}

int WriteStoredAnimRecord(Handle sprite) {
    if (AnimGetHandleSize(sprite) < kSpriteHeaderBytes)
        return -1;
    // Only the header stays: anything after it is replaced.
    if (AnimSetHandleSize(sprite, kSpriteHeaderBytes) != 0)
        return -1;
    const Handle extra = GetSpriteLong(sprite, kSpriteExtraHandle);
    const Handle path = GetSpritePath(sprite);
    const Handle film = GetSpriteFilm(sprite);
    uint32_t extraLength = 0, pathLength = 0, filmLength = 0;
    if (extra) {
        if (AnimAppendHandle(extra, sprite) != 0)
            return -1;
        extraLength = AnimGetHandleSize(extra);
        AnimDisposeHandle(extra);
        SetSpriteLong(sprite, kSpriteExtraHandle, 0);
    }
    SetSpriteLong(sprite, kSpriteExtraPointer, 0);
    if (path) {
        {
            HandleLock lock(path);
            SetU16(lock.bytes(), kPathReferences, 0);  // memory only
        }
        FlattenPathRecord(path);
        if (AnimAppendHandle(path, sprite) != 0)
            return -1;
        pathLength = AnimGetHandleSize(path);
        AnimDisposeHandle(path);  // flattened: one owner, the header
        SetSpriteLong(sprite, kSpritePathHandle, 0);
    }
    SetSpriteLong(sprite, kSpritePathPointer, 0);
    if (film) {
        {
            HandleLock lock(film);
            const std::span<uint8_t> f = lock.bytes();
            ZeroWhere(f, IsFilmRunTimeByte, FilmBytesFor(GetU32(f, kFilmFrameCount)));
            ConvertFilmRecord(f, true);
        }
        if (AnimPadHandleEven(film) != 0 || AnimAppendHandle(film, sprite) != 0)
            return -1;
        filmLength = AnimGetHandleSize(film);
        AnimDisposeHandle(film);
        SetSpriteLong(sprite, kSpriteFilmHandle, 0);
    }
    SetSpriteLong(sprite, kSpriteFilmPointer, 0);
    if (AnimPadHandleEven(sprite) != 0)
        return -1;
    HandleLock lock(sprite);
    const std::span<uint8_t> h = lock.bytes();
    SetU32(h, kSpriteExtraLength, extraLength);
    SetU32(h, kSpritePathLength, pathLength);
    SetU32(h, kSpriteFilmLength, filmLength);
    SetU32(h, kAnimLength, kSpriteHeaderBytes);
    ConvertSpriteHeader(h.first(kSpriteHeaderBytes), true);
    return 0;
}
