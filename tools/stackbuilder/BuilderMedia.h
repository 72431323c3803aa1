// Media files for tests and fuzz seeds, written byte by byte from the formats as documented and
// sharing no code with the plug-in's or the stand-in's readers: WAV, AIFF/AIFC, AU and standard
// MIDI files, AVI movies and QuickTime movies.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace stackbuilder {

// The byte writers the media files are made with, for tests that make a variant by hand.
using Bytes = std::vector<uint8_t>;
void Tag(Bytes* b, const char (&s)[5]);
void Be16(Bytes* b, uint32_t v);
void Be32(Bytes* b, uint32_t v);
void Le16(Bytes* b, uint32_t v);
void Le32(Bytes* b, uint32_t v);

// A PCM WAV: samples as the file keeps them (8-bit unsigned, wider little-endian).
std::vector<uint8_t> WaveFile(uint16_t channels, uint32_t rate, uint16_t bits, std::span<const uint8_t> samples);
// An AIFF ("AIFF") or AIFC ("AIFC", with the compression type); samples as the file keeps them
// (8-bit signed, wider big-endian unless 'sowt'). junk bytes come before "FORM".
std::vector<uint8_t> AiffFile(bool aifc, const char (&compression)[5], uint16_t channels, uint32_t rate, uint16_t bits,
                              std::span<const uint8_t> samples, size_t junk = 0);
// An AU file: encoding 1 mu-law, 2 linear 8-bit, 3 linear 16-bit, ...
std::vector<uint8_t> AuFile(uint32_t encoding, uint32_t rate, uint32_t channels, std::span<const uint8_t> samples);

// A note of a MIDI piece, in milliseconds.
struct PieceNote {
    uint8_t channel, pitch;
    uint32_t on, off;
    uint8_t velocity;
};
// The two-second piece: format 1, 480 ticks a quarter, 120 beats a minute for 1.5 s then 60 for
// the last half second; a violin on channel 1 (program 40, volume 100), a bass drum on channel 10,
// running status, a system exclusive in passing, a note an extended music event must hold.
std::vector<uint8_t> TwoSecondMidiFile();
// Its notes, by start.
std::vector<PieceNote> TwoSecondMidiNotes();

// An AVI movie (BuilderAvi.cpp): one 8-bit video stream of width x height at fps frames a
// second, frame k filled with colour k (palette entry k + 1; entry 0 is black), its frames
// uncompressed ('DIB ') or run-length coded ('mrle'), every one a key frame in the index.
struct AviColour {
    uint8_t red, green, blue;
};
// A sound stream (stream 1) as its format says, whatever the samples: tag 1 is PCM.
struct AviSound {
    uint16_t tag = 1;
    uint16_t channels = 1;
    uint16_t bits = 8;
    uint32_t rate = 11025;
    std::vector<uint8_t> samples;
};
std::vector<uint8_t> AviFile(uint32_t width, uint32_t height, uint32_t fps, std::span<const AviColour> frames, bool rle,
                             const AviSound* sound = nullptr);

// A QuickTime movie (BuilderMov.cpp): one video track of frames at fps frames a second (media
// and movie time 600), each sample in a chunk of its own, and a sound track when given.
enum class MovCodec { Raw, Rle, Jpeg, Stored };
struct MovVideo {
    MovCodec codec = MovCodec::Rle;
    uint16_t depth = 24;   // 1, 2, 4, 8 (pixels are colour indices), 16, 24, 32 (0xRRGGBB)
    uint32_t width = 0, height = 0;
    uint32_t fps = 10;
    std::vector<std::vector<uint32_t>> frames;  // width × height, top row first
    // The description's colour table (depth 8 and below); empty: none, the default table.
    std::vector<uint32_t> colours;
    // 'rle ': a key frame every keyEvery frames (0: the first only), listed in 'stss'; the frames
    // between update only the lines (a line range) and the pixels that changed.
    uint32_t keyEvery = 0;
    // Stored: the samples as given, under this format (the frames are not read).
    char storedFormat[5] = "????";
    std::vector<std::vector<uint8_t>> storedSamples;
    // 'jpeg': the encoder of a frame (0xRRGGBB pixels) into a JPEG file's bytes.
    std::vector<uint8_t> (*jpeg)(const std::vector<uint32_t>& rgb, uint32_t width, uint32_t height) = nullptr;
    // Optional: a composition offset per frame ('ctts', media units), and an empty edit of this
    // many movie units before the track's media, shown from mediaStart (edits, 'elst').
    std::vector<int32_t> compositionOffsets;
    uint32_t emptyEdit = 0;
    int32_t mediaStart = -1;  // -1: no edit list
};
struct MovSound {
    uint32_t rate = 11025;
    std::vector<uint8_t> samples;  // 8-bit unsigned mono
};
std::vector<uint8_t> MovFile(const MovVideo& video, const MovSound* sound = nullptr);
// The video samples MovFile stores for the frames, in order (what the decoders are given).
std::vector<std::vector<uint8_t>> MovVideoSamples(const MovVideo& video);
#if defined(_WIN32)
// A frame as a JPEG file by WIC's encoder, at quality 0.9 (BuilderMovJpeg_win.cpp).
std::vector<uint8_t> WicJpeg(const std::vector<uint32_t>& rgb, uint32_t width, uint32_t height);
#endif

}  // namespace stackbuilder
