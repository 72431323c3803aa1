// PackedPicture: the stored pixels of one picture. The runs of one 32-bit value at the start and
// at the end of the pixel bytes shrink to a 16-byte run header, and the middle is LZRW1 coded
// (graphics/pixels/Lzrw.h).
//
//   +0  lead fill    the first 4 pixel bytes, raw
//   +4  lead count   bytes of the leading run (a multiple of 4)
//   +8  trail fill   the last 4 pixel bytes of the packed range, raw
//   +12 trail count  bytes of the trailing run (a multiple of 4)
//   +16 LZRW1 stream of the middle; absent when the runs cover the whole range
//
// In memory the counts are in host order (little-endian); the stack file keeps them big-endian
// and its reader and writer swap them.
//
// PackPicture takes a DIB handle; PackPictureRows does the work on stored rows (top row first,
// MacRowBytes each), and UnpackPictureRows is the readers' side.
#pragma once

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr uint32_t kPackedPictureHeaderBytes = 16;
// The two rows below a card in the card offscreen, left out of a card picture's packed range.
inline constexpr uint32_t kCardPictureExtraRows = 2;

struct PackedPictureRuns {
    uint8_t leadFill[4] = {};
    uint32_t leadCount = 0;
    uint8_t trailFill[4] = {};
    uint32_t trailCount = 0;
};

// The range that a picture of these rows packs: all of them, or with cardPicture all but the
// last two rows. Returns false when the rows are shorter than the two left out.
bool PackedPictureRange(size_t rowsBytes, uint32_t rowBytes, bool cardPicture, size_t& rangeBytes);

// Finds the leading and trailing runs of one 32-bit value in range. The trailing run is
// counted only when the leading one leaves something over, and never reaches into it.
PackedPictureRuns FindPictureRuns(std::span<const uint8_t> range);

// Packs stored rows (top row first, rowBytes each) into a new handle holding a PackedPicture;
// 0 when an allocation fails or the rows are too short for the card-picture flag.
Handle PackPictureRows(std::span<const uint8_t> rows, uint32_t rowBytes, bool cardPicture);

// Packs a picture: its rows are reversed in place to top-down order (through indexMap when one
// is given: the application palette's index table, which callers pass for a card picture on an
// 8-bit display, else null), copied into Mac rows and packed with PackPictureRows. The DIB
// stays top-down. 0 when the DIB is damaged or an allocation fails.
Handle PackPicture(DibHandle dib, bool cardPicture, const uint8_t* indexMap);

// Reads the run header; false when fewer than 16 bytes are given.
bool ReadPackedPictureRuns(std::span<const uint8_t> packed, PackedPictureRuns& runs);

// Unpacks a PackedPicture into its packed range, as the picture readers do: the lead run filled
// with the lead fill as 32-bit words from the start (its count taken up to a multiple of 4), the
// trail run with the trail fill as words backwards from the end, and the stream decoded into the
// middle only when the middle is not empty (a stream after runs that fill the range is ignored).
// Returns false, leaving range partly written, when the header is short, the runs overlap or
// pass the range, or the stream is damaged or does not fill the middle exactly.
bool UnpackPictureRows(std::span<const uint8_t> packed, std::span<uint8_t> range);
