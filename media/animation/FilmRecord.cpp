// Films in memory: made new, their frames and anchors, their fields, their byte order.
#include "media/animation/AnimRecord.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

uint32_t FrameAt(uint32_t index) { return kFilmFrames + kFilmFrameBytes * index; }

// The film's bytes when they hold the fixed part and every frame of its count; else empty.
std::span<uint8_t> FilmBytes(const HandleLock& lock) {
    const std::span<uint8_t> bytes = lock.bytes();
    if (bytes.size() < kFilmFixedBytes)
        return {};
    const uint32_t need = FilmBytesFor(GetU32(bytes, kFilmFrameCount));
    return need && need <= bytes.size() ? bytes : std::span<uint8_t>();
}

// A field of the fixed part; 0 when the film is short.
uint32_t FilmLong(Handle film, uint32_t offset) {
    HandleLock lock(film);
    return GetU32(FilmBytes(lock), offset);
}
uint16_t FilmWord(Handle film, uint32_t offset) {
    HandleLock lock(film);
    return GetU16(FilmBytes(lock), offset);
}

}  // namespace

uint32_t FilmBytesFor(uint32_t count) {
    const uint64_t bytes = uint64_t{kFilmFixedBytes} + uint64_t{kFilmFrameBytes} * count;
    return bytes <= UINT32_MAX ? static_cast<uint32_t>(bytes) : 0;
}

int NewFilmRecord(Handle* out, uint16_t kind, AnimPair identity, AnimPair owner) {
    if (NewAnimRecord(out, kFilmFixedBytes, kFilm, identity, owner) != 0)
        return -1;
    {
        HandleLock lock(*out);
        SetU16(lock.bytes(), kFilmMade, 1);
        SetU16(lock.bytes(), kFilmKind, kind);
    }
    InstallFilmMethods(*out);
    return 0;
}

void InstallFilmMethods(Handle film) {
    HandleLock lock(film);
    const std::span<uint8_t> f = lock.bytes();
    SetU16(f, kFilmMethods, static_cast<uint16_t>(std::min<uint16_t>(GetU16(f, kFilmKind), kFilmMovie) + 1));
}

int SetFilmFrames(Handle film, Handle stripPicture, Handle rects) {
    const uint32_t count = AnimGetHandleSize(rects) / 8;
    const uint32_t bytes = FilmBytesFor(count);
    if (!bytes || AnimSetHandleSize(film, bytes) != 0)
        return -1;
    {
        HandleLock lock(film);
        HandleLock list(rects);
        const std::span<uint8_t> f = lock.bytes();
        SetU32(f, kFilmStripPicture, stripPicture);
        SetU32(f, kFilmFrameCount, count);
        SetU16(f, kFilmKind, kFilmStrip);
        f[kFilmPicturesOut] = stripPicture ? 1 : 0;  // the picture is held, not packed
        std::fill(f.begin() + kFilmFrames, f.end(), uint8_t{0});
        for (uint32_t i = 0; i < count; ++i)
            std::copy_n(list.get() + 8 * i, 8, f.begin() + FrameAt(i) + kFrameRect);
    }
    CentreFilmAnchors(film);
    InstallFilmMethods(film);
    return 0;
}

void CentreFilmAnchors(Handle film) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    const uint32_t count = GetU32(f, kFilmFrameCount);
    if (f.empty() || count == 0)
        return;
    // Whatever the later frames measure, the first frame's size places them all.
    const int width = GetI16(f, FrameAt(0) + 4) - GetI16(f, FrameAt(0));
    const int height = GetI16(f, FrameAt(0) + 6) - GetI16(f, FrameAt(0) + 2);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = FrameAt(i) + kFrameAnchor;
        SetU16(f, at, static_cast<uint16_t>(-(width / 2)));
        SetU16(f, at + 2, static_cast<uint16_t>(-(height / 2)));
        SetU16(f, at + 4, 0);
    }
}

uint32_t GetFilmFrameCount(Handle film) { return FilmLong(film, kFilmFrameCount); }

uint16_t GetFilmKind(Handle film) { return FilmWord(film, kFilmKind); }

bool GetFilmFrameRect(Handle film, uint32_t index, ShortRect* rect) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    if (f.empty() || index >= GetU32(f, kFilmFrameCount))
        return false;
    const uint32_t at = FrameAt(index) + kFrameRect;
    *rect = {GetI16(f, at), GetI16(f, at + 2), GetI16(f, at + 4), GetI16(f, at + 6)};
    return true;
}

bool GetFilmFrameAnchor(Handle film, uint32_t index, int16_t anchor[3]) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    if (f.empty() || index >= GetU32(f, kFilmFrameCount))
        return false;
    for (int i = 0; i < 3; ++i)
        anchor[i] = GetI16(f, FrameAt(index) + kFrameAnchor + 2 * i);
    return true;
}

uint32_t GetFilmFrameBitmap(Handle film, uint32_t index) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    return !f.empty() && index < GetU32(f, kFilmFrameCount) ? GetU32(f, FrameAt(index) + kFrameMask) : 0;
}

void SetFilmFrameBitmap(Handle film, uint32_t index, uint32_t bitmap) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    if (!f.empty() && index < GetU32(f, kFilmFrameCount))
        SetU32(f, FrameAt(index) + kFrameMask, bitmap);
}

Handle GetFilmPictureHandle(Handle film, uint32_t offset) { return FilmLong(film, offset); }

void SetFilmPictureHandle(Handle film, uint32_t offset, Handle picture) {
    HandleLock lock(film);
    SetU32(FilmBytes(lock), offset, picture);
}

void SetFilmStripPicture(Handle film, Handle picture) { SetFilmPictureHandle(film, kFilmStripPicture, picture); }

uint16_t GetFilmMaskState(Handle film) { return FilmWord(film, kFilmMaskState); }

void SetFilmMaskState(Handle film, uint16_t state) {
    HandleLock lock(film);
    SetU16(FilmBytes(lock), kFilmMaskState, state);
}

void GetFilmTransparentColor(Handle film, uint16_t rgb[3]) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    for (int i = 0; i < 3; ++i)
        rgb[i] = GetU16(f, kFilmTransparent + 2 * i);
}

void StoreFilmTransparentColor(Handle film, const uint16_t rgb[3]) {
    HandleLock lock(film);
    const std::span<uint8_t> f = FilmBytes(lock);
    for (int i = 0; i < 3; ++i)
        SetU16(f, kFilmTransparent + 2 * i, rgb[i]);
}

void ConvertRect(std::span<uint8_t> record, uint32_t offset) {
    if (!FieldFits(record, offset, 8))
        return;
    for (uint32_t i = 0; i < 4; ++i)
        SwapField16(record, offset + 2 * i);
    std::swap_ranges(record.begin() + offset, record.begin() + offset + 2, record.begin() + offset + 2);
    std::swap_ranges(record.begin() + offset + 4, record.begin() + offset + 6, record.begin() + offset + 6);
}

void ConvertFilmRecord(std::span<uint8_t> film, bool toFile) {
    if (film.size() < kFilmFixedBytes)
        return;
    const uint32_t count = toFile ? GetU32(film, kFilmFrameCount) : GetBE32(film, kFilmFrameCount);
    for (uint32_t at : {0u, 4u, 10u, 14u, 18u, 22u, 46u, 58u, 62u, 166u, 170u, 174u})
        SwapField32(film, at);
    for (uint32_t at : {8u, 32u, 34u, 40u, 42u, 44u})
        SwapField16(film, at);
    // Frames within the film's length only: a damaged count converts what there is.
    for (uint32_t i = 0; i < count && FrameAt(i) + kFilmFrameBytes <= film.size(); ++i) {
        const std::span<uint8_t> frame = film.subspan(FrameAt(i), kFilmFrameBytes);
        ConvertRect(frame, kFrameRect);
        ConvertRect(frame, kFrameRect2);
        for (uint32_t at : {16u, 18u, 20u, 22u, 24u, 26u, 80u})
            SwapField16(frame, at);
        for (uint32_t at : {28u, 32u, 60u, 64u, 68u, 72u, 76u})
            SwapField32(frame, at);
    }
}

FilmBlocks StoredFilmBlocks(std::span<const uint8_t> film) {
    if (film.size() < kFilmFixedBytes)
        return {};
    const uint64_t at = FilmBytesFor(GetU32(film, kFilmFrameCount));
    const uint64_t lengths[3] = {GetU32(film, kFilmPictureLength), GetU32(film, kFilmFrameBlockLength),
                                 GetU32(film, kFilmMaskLength)};
    if (at == 0 || at + lengths[0] + lengths[1] + lengths[2] > film.size())
        return {};
    return {film.subspan(at, lengths[0]), film.subspan(at + lengths[0], lengths[1]),
            film.subspan(at + lengths[0] + lengths[1], lengths[2])};
}

std::span<const uint8_t> FramePictureInBlock(std::span<const uint8_t> film, std::span<const uint8_t> block,
                                             uint32_t index) {
    const uint64_t frame = kFilmFrames + uint64_t{kFilmFrameBytes} * index;
    if (frame + kFilmFrameBytes > film.size())
        return {};
    const uint64_t at = GetU32(film, static_cast<uint32_t>(frame) + kFramePictureOffset);
    const uint64_t length = GetU32(film, static_cast<uint32_t>(frame) + kFramePictureLength);
    if (length == 0 || at + length > block.size())
        return {};
    return block.subspan(at, length);
}

bool IsFilmRunTimeByte(uint32_t offset) {
    if (offset < kFilmFrames)
        return offset == 38 || offset == 39 || (offset >= 70 && offset < 166) || (offset >= 178 && offset <= 180);
    const uint32_t inFrame = (offset - kFilmFrames) % kFilmFrameBytes;
    return inFrame >= 36 && inFrame < 60;
}
