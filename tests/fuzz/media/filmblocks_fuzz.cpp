// Arbitrary bytes as a stored 'Sprt' record, then the blocks of its flattened film as the film's
// pictures are made again from them: the strip and mask pictures and each frame's picture of a
// kind-2 film lie within the film and are checked and decoded as packed pictures, and a movie
// film's file reference is unpacked.
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "graphics/pixels/PackedPictureHeader.h"
#include "media/animation/AnimRecord.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 16;

// As PreparePictureObject checks and makes a picture, without the bitmap.
void Decode(std::span<const uint8_t> packed) {
    if (packed.empty())
        return;
    DibHandle dib = 0;
    const PPakCheck check = DibFromPackedPicture(packed, static_cast<uint32_t>(packed.size()), &dib, nullptr);
    FuzzCheck((check == PPakCheck::Ok) == (dib != 0));
    DisposeHandle(dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    Handle sprite = 0;
    if (ReadStoredAnimRecord({data, size}, &sprite) != 0)
        return 0;
    if (const Handle film = GetSpriteFilm(sprite)) {
        const std::vector<uint8_t> bytes = HandleToBytes(film);
        const FilmBlocks blocks = StoredFilmBlocks(bytes);
        FuzzCheck(FuzzInside(blocks.picture, bytes) && FuzzInside(blocks.frames, bytes) && FuzzInside(blocks.mask, bytes));
        const uint16_t kind = GetFilmKind(film);
        if (kind == kFilmMovie) {
            FileSpec movie = EmptyFileSpec();
            UnpackFileSpecTo(&movie, blocks.frames);
        } else {
            Decode(blocks.picture);
            Decode(blocks.mask);
        }
        if (kind == kFilmPerFrame) {
            const uint32_t count = GetFilmFrameCount(film);
            for (uint32_t i = 1; i < count && i < 256; ++i) {
                const std::span<const uint8_t> frame = FramePictureInBlock(bytes, blocks.frames, i);
                FuzzCheck(FuzzInside(frame, blocks.frames));
                Decode(frame);
            }
            FuzzCheck(FramePictureInBlock(bytes, blocks.frames, UINT32_MAX).empty());
        }
    }
    DisposeHandle(DisposeSpriteKeepFilm(sprite));
    return 0;
}
