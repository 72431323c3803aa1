// LZRW1 row records: one record per row of a DIB, in the DIB's row order. A record is the LZRW1
// stream of the row taken as a Mac row (MacRowBytes bytes, padding 0): byte 0 the flag (0
// compressed, 1 stored), byte 1 zero, bytes 2..3 the length of the whole record, these 4 bytes
// included, as a big-endian u16, then the stream's data. The next record follows at that
// length. Lengths are read back as signed 16-bit values, so a record holds at most 32767 bytes
// and rows longer than 32763 bytes cannot be stored this way.
#pragma once

#include <cstdint>
#include <span>

#include "graphics/dib/Dib.h"

inline constexpr int kMaxLzrwMacRowBytes = 32763;

// Packs every row into a new handle of records; 0 for a damaged DIB, rows too long for a
// record, or when memory runs out.
Handle PackLzrwDibRows(DibHandle dib);

// Decodes height records from the start of `records` into the DIB's rows (min(MacRowBytes,
// DibRowBytes) bytes of each). A record shorter than its header, longer than what remains, or
// damaged stops the work: false, with the rows not reached left as they were. A record that
// decodes to less than a row leaves the rest of that row 0.
bool UnpackLzrwDibRows(DibHandle dib, std::span<const uint8_t> records);
