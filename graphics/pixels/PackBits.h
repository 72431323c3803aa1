// PackBits-style run streams over whole images, as frame animations and pixel maps store them.
//
// The image is taken as height Mac rows (MacRowBytes each; the bytes of a Mac row past the DIB
// row read as 0), and all height x MacRowBytes bytes form one stream, not packed row by row.
// Each run starts with a signed count byte c: 0..127 is followed by c + 1 literal bytes;
// -1..-127 by one byte repeated 1 - c times (2..128 copies). -128 is never written; a reader
// skips it as a run of nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/dib/Dib.h"

inline constexpr size_t kPackBitsMaxRunBytes = 129;  // count byte and 128 literals

// Packs one run of stream starting at `at` (< stream.size()) into out. Returns the stream
// bytes consumed; outLength receives the run's length. No run reaches past the stream.
size_t PackBitsRun(std::span<const uint8_t> stream, size_t at, std::span<uint8_t, kPackBitsMaxRunBytes> out,
                   size_t& outLength);
// A whole stream as runs.
std::vector<uint8_t> PackBitsEncode(std::span<const uint8_t> stream);

// Unpacks runs into out until out is full (also in the middle of a run) or the runs end. A run
// cut short by the end of the input gives what it has.
struct UnpackBitsResult {
    size_t produced = 0;  // bytes written to out
    size_t consumed = 0;  // run bytes read
};
UnpackBitsResult UnpackBits(std::span<const uint8_t> runs, std::span<uint8_t> out);

// Packs the DIB's rows as one run stream into a new handle; 0 for a damaged DIB or when memory
// runs out.
Handle PackDibRows(DibHandle dib);

// Unpacks a run stream into the DIB's rows: Mac row r fills DIB row r with its first
// min(MacRowBytes, DibRowBytes) bytes. Stops once height x MacRowBytes bytes are produced or the
// runs end. True when every row was filled; rows the runs did not reach are left as they were.
bool DibFromMacRows(DibHandle dib, std::span<const uint8_t> runs);
