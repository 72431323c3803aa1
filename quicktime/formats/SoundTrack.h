// Sound media: the sound sample description (version 0, and the sizes of versions 1 and 2),
// the encodings of its formats, a movie's sound track as wave samples, and the track a movie
// file is written with. Formats we cannot decode ('MAC3', 'MAC6', 'ima4', ...) are refused.
//
//   SoundTrack.cpp
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "quicktime/formats/MovieFile.h"
#include "quicktime/formats/SoundFiles.h"

inline constexpr uint32_t kSoundDescriptionBytes = 36;

struct SoundDescription {
    uint32_t format = 0;
    uint16_t version = 0;
    uint16_t channels = 0;
    uint16_t sampleSize = 0;   // bits
    int16_t compressionId = 0;
    uint32_t sampleRate = 0;   // whole hertz (the 16.16 rate's integer part)
};

// False when the description is shorter than 36 bytes.
bool ReadSoundDescription(std::span<const uint8_t> description, SoundDescription* out);
// A 36-byte description: version 0, the rate as 16.16 (rates past 65535 Hz keep their low bits,
// as 16.16 must).
std::vector<uint8_t> MakeSoundDescription(uint32_t format, uint16_t channels, uint16_t bits, uint32_t rate);
// How samples of the format and width are stored: 'raw ' unsigned 8-bit or big-endian wider,
// 'twos' signed big-endian, 'sowt' signed little-endian, 'ulaw', 'in24' and 'in32'.
// False for any format we do not decode.
bool SoundEncodingOf(uint32_t format, uint16_t bits, SoundEncoding* encoding);

// A sound track's samples in order, joined from its chunks, as a wave device takes them.
// Compressed for a format we do not decode; BadFormat for a description without channels,
// width or rate; NoSamples when the track has no description. Stops at limitBytes of samples,
// and at as many bytes as the file holds.
SoundRefusal MovieSoundPcm(std::span<const uint8_t> file, const MovieTrack& track, WavePcm* out,
                           size_t limitBytes = size_t{1} << 30);

// A sound track of wave samples (little-endian, 8-bit unsigned) for WriteMovieFile: 'raw ' for
// 8 bits, 'sowt' for wider; one sample a frame, timed at the sample rate.
MovieTrackSpec SoundTrackSpec(const WavePcm& pcm);
