// The video samples of movie files that need no system codec: 'raw ' (1, 2, 4, 8, 16, 24 and 32
// bits, the grey depths 34, 36 and 40) and 'rle ' (Animation, 1 to 32 bits), decoded into 32-bit
// frames, rows top first: blue, green, red, 0xFF. Every size, stride, run and line range of a
// sample is checked against what remains of it and against the frame; a refused sample leaves
// the frame as it was.
//
//   VideoFrames.cpp   the image description, the default colour tables, 'raw ' and 'rle '
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/QtAtoms.h"

inline constexpr uint32_t kVideoRaw = QtAtomType("raw ");
inline constexpr uint32_t kVideoRle = QtAtomType("rle ");
inline constexpr uint32_t kVideoJpeg = QtAtomType("jpeg");
inline constexpr uint32_t kImageDescriptionBytes = 86;  // the fixed part, before a colour table
inline constexpr int64_t kMaxVideoPixels = int64_t(16) << 20;

// What an image description (stored, big-endian) says of the pictures of its samples.
struct VideoFormat {
    uint32_t codec = 0;
    int32_t width = 0;  // coded size
    int32_t height = 0;
    int16_t depth = 0;  // 1..32; 33..40 grey of depth - 32 bits
    std::array<uint32_t, 256> colours{};  // 0xRRGGBB: the description's colour table, else the default
};

enum class VideoRefusal : uint8_t {
    None,
    Unsupported,  // a codec or depth these decoders do not read
    BadSize,      // no size, or past the frame's limit
    Truncated,    // the sample ends before its rows, runs or header do
    BadRun,       // a skip or a run past the end of its line
    BadLines,     // a line range past the picture's height
};
const char* VideoRefusalText(VideoRefusal refusal);

// The description's format; false when it is shorter than its fixed part.
bool ReadVideoFormat(std::span<const uint8_t> description, VideoFormat* out);
// The default colour table of a depth (1, 2, 4 or 8 bits, or grey 33..40).
std::array<uint32_t, 256> DefaultVideoColours(int16_t depth);
// Whether these decoders read the format's samples.
bool DecodesVideo(const VideoFormat& format);

// A frame of width × height 32-bit pixels, the part of the coded picture that lies within it.
struct VideoFrame {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> bgra;
};
// A frame of the format's size cut to at most maxWidth × maxHeight, black; refused (empty) past
// kMaxVideoPixels or when either side is empty.
VideoRefusal NewVideoFrame(const VideoFormat& format, int32_t maxWidth, int32_t maxHeight, VideoFrame* frame);
// One sample decoded over the frame ('rle ' updates change only the lines and pixels they name).
VideoRefusal DecodeVideoSample(const VideoFormat& format, std::span<const uint8_t> sample, VideoFrame* frame);
