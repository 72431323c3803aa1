// Sound files as sound movies and stored sounds take them: WAV, AIFF/AIFC and AU read to a
// description of their samples, which stay where they lie in the file, and turned into what a
// wave device plays (little-endian, 8-bit unsigned). Every count, size and offset is checked
// against the bytes there are; a refusal says why.
//
//   SoundFiles.cpp    the PCM description, the 80-bit rate, the conversion to wave samples
//   WaveFile.cpp      RIFF "WAVE"
//   AiffFile.cpp      "FORM" "AIFF" and "AIFC"
//   AuFile.cpp        ".snd" (Sun/NeXT), mu-law and linear
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/ByteReader.h"

// RIFF chunk codes, of WAV files and of RIFF MIDI files (MidiFile.h) alike.
inline constexpr uint32_t kRiffChunk = 0x52494646;  // "RIFF"
inline constexpr uint32_t kDataChunk = 0x64617461;  // "data"
// The AIFC compression type of uncompressed samples, and the one of AIFF files.
inline constexpr uint32_t kAifcNoCompression = 0x4E4F4E45;  // "NONE"

// How the samples of a file are stored.
enum class SoundEncoding : uint8_t {
    Unsigned8,     // 8-bit, 128 is silence (WAV)
    Signed8,       // 8-bit two's complement (AIFF, linear AU)
    BigEndian,     // 16, 24 or 32-bit signed, most significant byte first
    LittleEndian,  // 16, 24 or 32-bit signed, least significant byte first
    MuLaw,         // 8-bit mu-law (AU encoding 1)
};

enum class SoundRefusal : uint8_t {
    None,
    NotThisKind,    // the file's magic is not the reader's
    Truncated,      // a header or a needed chunk runs past the end
    NotPcm,         // WAV format other than PCM
    Compressed,     // AIFC compression, or an AU encoding, we cannot play
    BadFormat,      // no channels, no sample width, no rate, or no format chunk
    NoSamples,      // no sample chunk
};

struct SoundFileInfo {
    uint16_t bitsPerSample = 0;  // the width each sample takes in the file: 8, 16, 24 or 32
    uint16_t channels = 0;
    uint32_t sampleRate = 0;  // whole hertz
    uint32_t frames = 0;      // whole frames in data
    uint32_t compression = 0; // AIFC compression type ('NONE' for AIFF), 0 for other files
    SoundEncoding encoding = SoundEncoding::Unsigned8;
    std::span<const uint8_t> data;  // the samples, inside the file, whole frames only

    uint32_t BytesPerFrame() const { return uint32_t{bitsPerSample} / 8 * channels; }
};

SoundRefusal ReadWaveFile(std::span<const uint8_t> file, SoundFileInfo* info);
// "FORM" is looked for at the start, else at any later byte.
SoundRefusal ReadAiffFile(std::span<const uint8_t> file, SoundFileInfo* info);
SoundRefusal ReadAuFile(std::span<const uint8_t> file, SoundFileInfo* info);
// By the file's magic: RIFF/WAVE, FORM (AIFF, AIFC) or ".snd"; else NotThisKind.
SoundRefusal ReadSoundFile(std::span<const uint8_t> file, SoundFileInfo* info);
// The info points into the file's bytes: a temporary would leave it pointing at freed memory.
SoundRefusal ReadWaveFile(std::vector<uint8_t>&& file, SoundFileInfo* info) = delete;
SoundRefusal ReadAiffFile(std::vector<uint8_t>&& file, SoundFileInfo* info) = delete;
SoundRefusal ReadAuFile(std::vector<uint8_t>&& file, SoundFileInfo* info) = delete;
SoundRefusal ReadSoundFile(std::vector<uint8_t>&& file, SoundFileInfo* info) = delete;

// Samples as a wave device takes them: PCM, little-endian, 8-bit unsigned; mu-law becomes
// 16-bit. bitsPerSample, channels, sampleRate and frames describe samples.
struct WavePcm {
    uint16_t bitsPerSample = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t frames = 0;
    std::vector<uint8_t> samples;
};
WavePcm ToWavePcm(const SoundFileInfo& info);
// Raw samples of a stated encoding (a sound track's samples) the same way.
WavePcm ToWavePcm(std::span<const uint8_t> data, SoundEncoding encoding, uint16_t bitsPerSample, uint16_t channels,
                  uint32_t sampleRate);

// The 16-bit linear value of a mu-law byte (G.711).
int16_t MuLawToLinear(uint8_t byte);
// An 80-bit IEEE extended (AIFF's sample rate) as a double: sign, 15-bit exponent biased by
// 16383, 64-bit mantissa with its integer bit; the largest exponent gives infinity.
double Extended80ToDouble(std::span<const uint8_t, 10> bytes);
// A rate as a whole hertz, 0 when it is not a usable rate (below 1, above 2^32 - 1, not a number).
uint32_t WholeHertz(double rate);

// A complete WAV file (44-byte header) holding PCM samples as WavePcm keeps them.
std::vector<uint8_t> WaveFileOf(const WavePcm& pcm);
// The 44-byte header of a PCM WAV file (WaveFile.cpp) whose data chunk holds dataBytes (the
// pad byte of an odd chunk counted in the RIFF length); the samples follow it.
void WriteWaveHeader(ByteWriter& w, uint16_t channels, uint32_t sampleRate, uint16_t bitsPerSample, uint32_t align,
                     uint32_t dataBytes);

// Finishes an info once the format and the sample span are known: checks the format, cuts the
// span to whole frames and counts them. Used by the readers.
SoundRefusal FinishSoundInfo(SoundFileInfo* info, std::span<const uint8_t> samples);
// The same after a walk of the chunks: BadFormat without the format chunk, NoSamples without
// the sample chunk.
SoundRefusal FinishChunkedSound(SoundFileInfo* info, bool haveFormat, bool haveSamples,
                                std::span<const uint8_t> samples);

// Walks the chunks of a RIFF or IFF body from `start`: each a big-endian id, a size (little- or
// big-endian) and its bytes, padded to an even length. A chunk cut short by the body's end is
// given as far as it goes and ends the walk.
class SoundChunkWalk {
public:
    SoundChunkWalk(std::span<const uint8_t> body, size_t start, bool bigEndianSizes)
        : r_(body, start), bigEndian_(bigEndianSizes) {}
    bool Next(uint32_t* id, std::span<const uint8_t>* chunk);

private:
    ByteReader r_;
    bool bigEndian_;
    bool done_ = false;
};
