// AVI files as the stand-in reads them: the stream headers and formats of the 'hdrl' list and
// the data chunks of the 'movi' list. The bytes are read where the walk asks, so a large file is
// never read whole; StandInMovieFiles.cpp makes the tracks, AVIFile only the frames.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Reads the file's bytes at an offset into `into`, whole; false when they are not all there.
using AviRead = std::function<bool(uint64_t offset, std::span<uint8_t> into)>;

// One stream as its 'strl' list gives it.
struct AviStream {
    uint32_t type = 0;     // 'vids', 'auds', ... as QtFourCC names them
    uint32_t handler = 0;  // the file's four characters as a little-endian word
    uint32_t scale = 0;
    uint32_t rate = 0;
    uint32_t start = 0;
    uint32_t length = 0;
    std::vector<uint8_t> format;  // the 'strf' chunk, at most kAviMaxFormat bytes of it
};

inline constexpr size_t kAviMaxStreams = 100;  // stream numbers are two digits
inline constexpr size_t kAviMaxFormat = 1 << 16;

// The streams of a 'RIFF' 'AVI ' file of `size` bytes, in their numbers' order; false when it
// is not one.
bool ReadAviStreams(const AviRead& read, uint64_t size, std::vector<AviStream>* streams);
// The data chunks of stream `number` in the 'movi' list (and its 'rec ' lists), in file order,
// joined, up to `cap` bytes.
std::vector<uint8_t> ReadAviStreamData(const AviRead& read, uint64_t size, uint32_t number, size_t cap);

// An audio stream's WAVEFORMAT fields (all 0 when its format is shorter).
inline constexpr uint16_t kAviPcmTag = 1;
struct AviSoundFormat {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t rate = 0;
    uint16_t bits = 0;
};
AviSoundFormat ReadAviSoundFormat(const AviStream& stream);

// A video stream's BITMAPINFOHEADER fields (0 where its format is shorter).
inline constexpr uint32_t kAviFramesRgb = 0, kAviFramesRle8 = 1, kAviFramesRle4 = 2;
struct AviPictureFormat {
    int32_t width = 0;
    int32_t height = 0;  // below 0: rows top first
    uint16_t bitCount = 0;
    uint32_t compression = 0;
};
AviPictureFormat ReadAviPictureFormat(const AviStream& stream);
