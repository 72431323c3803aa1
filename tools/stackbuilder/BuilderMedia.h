// Media files for tests and fuzz seeds, written byte by byte from the formats as documented and
// sharing no code with the plug-in's or the stand-in's readers: WAV, AIFF/AIFC, AU and standard
// MIDI files, and AVI movies.
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
std::vector<uint8_t> AviFile(uint32_t width, uint32_t height, uint32_t fps, std::span<const AviColour> frames, bool rle);

}  // namespace stackbuilder
