// Arbitrary bytes as a stored 'Sprt' record: read (every length checked against the bytes), then
// written and read again, and written once more: the two writes must agree byte for byte.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "media/animation/AnimRecord.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

// The parts a read made hold what their counts say.
void CheckParts(Handle sprite) {
    const Handle film = GetSpriteFilm(sprite);
    FuzzCheck(film != 0);
    const std::vector<uint8_t> f = HandleToBytes(film);
    FuzzCheck(f.size() >= FilmBytesFor(GetU32(f, kFilmFrameCount)) && FilmBytesFor(GetU32(f, kFilmFrameCount)) != 0);
    if (const Handle path = GetSpritePath(sprite)) {
        const std::vector<uint8_t> p = HandleToBytes(path);
        FuzzCheck(p.size() >= kPathFixedBytes + uint64_t{kPathPointBytes} * GetU32(p, kPathPointCount));
    }
}

std::vector<uint8_t> WriteBack(Handle sprite) {
    FuzzCheck(WriteStoredAnimRecord(sprite) == 0);
    std::vector<uint8_t> bytes = HandleToBytes(sprite);
    DisposeHandle(sprite);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const int handles = MemRefsCount();
    Handle sprite = 0;
    if (ReadStoredAnimRecord({data, size}, &sprite) != 0) {
        FuzzCheck(sprite == 0 && MemRefsCount() == handles);
        return 0;
    }
    CheckParts(sprite);
    const std::vector<uint8_t> first = WriteBack(sprite);
    FuzzCheck(first.size() % 2 == 0 && GetBE32(first, kAnimTag) == kSprt);
    Handle again = 0;
    FuzzCheck(ReadStoredAnimRecord(first, &again) == 0);
    CheckParts(again);
    FuzzCheck(WriteBack(again) == first);
    FuzzCheck(MemRefsCount() == handles);
    return 0;
}
