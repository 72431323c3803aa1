// What the system's decoders hand the stand-in (WIC frames and metadata, a video decompressor's
// rows), made into its frames and movies without Windows, so that this byte work builds natively
// and is fuzzed. The _win files ask the system and hand the results here:
//   StandInGif_win.cpp         a GIF's frames composed over its logical screen (GifComposer)
//   StandInVideo_win.cpp       Photo-JPEG made opaque, a decompressor's bottom-up rows as a frame
//   QtStandInImporter_win.cpp  a picture composed over white for the graphics importer
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/dll/StandInMovies.h"

inline constexpr uint32_t kGifMaxFrames = 2000;
inline constexpr uint32_t kGifMaxSide = 4096;
inline constexpr uint64_t kGifMaxComposedBytes = 256u << 20;  // all frames together

// A GIF's frames laid one over the other as they show: each frame at its place on the logical
// screen, its transparent pixels showing what lies under it, then disposed of (2: its rectangle
// back to white; 3: the screen as it was before it) before the next.
class GifComposer {
public:
    // The logical screen's size from the file; 0 takes the first frame's.
    GifComposer(uint32_t screenWidth, uint32_t screenHeight) : screenWidth_(screenWidth), screenHeight_(screenHeight) {}
    // Whether a frame of this size may be decoded at all: 1 to kGifMaxSide each way.
    static bool FrameSizeFits(uint32_t width, uint32_t height);
    // One decoded frame: 32-bit BGRA rows top first (alpha 0 where transparent), its place, its
    // delay in hundredths of a second (0 counts as 10) and its disposal. False, and the frame
    // left out, when its size does not fit, its pixels are fewer than its size needs, or the
    // frames so far would pass kGifMaxFrames or kGifMaxComposedBytes: the composing ends there.
    bool Add(std::span<const uint8_t> bgra, uint32_t width, uint32_t height, uint32_t left, uint32_t top,
             uint32_t delay, uint32_t disposal);
    size_t FrameCount() const { return frames_.size(); }
    // The movie of the frames, one 'vide' sample each lasting its delay, the screen's size;
    // kQtCantFindHandler when no frame was added.
    int32_t Finish(StandInMovie* movie);

private:
    uint32_t screenWidth_, screenHeight_;
    StandInImage canvas_;
    std::vector<StandInImage> frames_;
    StandInTrack track_;
    uint64_t total_ = 0;
};

// Photo-JPEG's frame as WIC gives it (32-bit, the fourth byte undefined) made opaque.
void MakeStandInImageOpaque(StandInImage* image);
// A decompressor's output: bottom-up rows of 3 or 4 bytes a pixel, each padded to 4 bytes, as a
// frame. False when the size or depth is not one of these or the rows are fewer than it needs.
bool StandInImageFromBottomUpRows(std::span<const uint8_t> rows, int32_t width, int32_t height, int bytesPerPixel,
                                  StandInImage* out);
// WIC's 32-bit BGRA with straight alpha composed over white, the alpha bytes then 0, in place.
void ComposeOverWhite(std::span<uint8_t> bgra);
