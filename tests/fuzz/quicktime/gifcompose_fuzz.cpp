// Arbitrary bytes as what WIC hands the stand-in for a GIF: the logical screen's size, then
// frames, each with its size, place (anywhere), delay and disposal and its BGRA pixels. The
// composer lays them over each other within the screen, and the movie made of them shows each
// frame at the screen's size.
#include "quicktime/dll/StandInMovies.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// Screens and frames kept small: every frame holds a copy of the screen.
constexpr size_t kMaxInput = 1 << 14;
constexpr uint32_t kMaxScreen = 96;
constexpr size_t kHead = 12;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4 || size > kMaxInput)
        return 0;
    GifComposer composer(Le16(data) % (kMaxScreen + 1), Le16(data + 2) % (kMaxScreen + 1));
    size_t at = 4;
    while (size - at >= kHead) {
        const uint8_t* head = data + at;
        // Sizes 0 and past the largest side are the composer's to refuse; places may lie anywhere.
        const uint32_t width = head[0] == 255 ? kGifMaxSide + 1 : head[0];
        const uint32_t height = head[2] == 255 ? kGifMaxSide + 1 : head[2];
        const uint32_t left = head[5] & 0x80 ? 0xFFFFFFF0u + head[4] : Le16(head + 4);
        const uint32_t top = head[7] & 0x80 ? 0xFFFFFFF0u + head[6] : Le16(head + 6);
        at += kHead;
        const std::span<const uint8_t> pixels(data + at, std::min<size_t>(size - at, size_t{width} * height * 4));
        const bool added = composer.Add(pixels, width, height, left, top, Le16(head + 8), head[10]);
        FuzzCheck(!added || (GifComposer::FrameSizeFits(width, height) && pixels.size() == size_t{width} * height * 4));
        if (!added)
            break;
        at += pixels.size();
    }
    const size_t frames = composer.FrameCount();
    StandInMovie movie;
    const int32_t result = composer.Finish(&movie);
    FuzzCheck((result == kQtNoErr) == (frames > 0));
    if (result != kQtNoErr)
        return 0;
    FuzzCheck(movie.tracks.size() == 1 && movie.tracks[0].SampleCount() == frames && movie.pictures);
    const int32_t w = movie.natural.Width(), h = movie.natural.Height();
    FuzzCheck(w >= 1 && h >= 1 && w <= static_cast<int32_t>(kGifMaxSide) && h <= static_cast<int32_t>(kGifMaxSide));
    StandInImage image;
    for (uint32_t i = 0; i < frames; ++i) {
        FuzzCheck(movie.pictures->Frame(i, &image));
        FuzzCheck(image.width == w && image.height == h && image.bgra.size() == size_t(w) * h * 4);
    }
    FuzzCheck(!movie.pictures->Frame(static_cast<uint32_t>(frames), &image));
    return 0;
}
