// A card's picture read out of the record that holds it, as the card redraw and the depth
// conversions take it: stored rows (top row first, MacRowBytes each) for the card rectangle at
// a depth, and from them a DIB (DibFromPictureResource). Platform-free; fuzzed by
// tests/fuzz/cardpicture_fuzz.cpp.
//
// The picture block of a kind-1 record (host order, offsets in the record):
//   +98  u16 coding: 1 an LZRW1 stream alone, 2 a 16-byte run header before it
//   +106 u16 flags: 0x200 the data was padded by one byte
//   +108 u32 block length (24-byte block header included), +112 u32 colour-table length
//   +120 the Mac colour table, then the run header (coding 2), then the LZRW1 stream
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"

enum class PictureReadResult {
    None,     // the card has no picture (kind 0, or no record holds one)
    Read,     // rows filled
    Damaged,  // the record says it holds a picture that cannot be read
};

// The stored rows of a picture holder (a host-order kind-1 record) for a width x height
// picture at depth. Every length in the record is checked against it first: the colour table
// and the run header must lie inside the block and the block inside the record, the stream
// length (block length - 24 - table - run header - pad) must not be negative; the lead and
// trail runs are clamped to the rows; the stream must fill what they leave exactly. `table`
// receives the stored colour table (a view into holder). *reason says why a record is refused.
PictureReadResult ReadPictureRecordRows(std::span<const uint8_t> holder, int width, int height, int depth,
                                        std::vector<uint8_t>& rows, std::span<const uint8_t>* table,
                                        const char** reason);

// DibFromPictureResource: the card's picture (in the record that holds it,
// ResolvePictureRecord) as a new DIB of width x height at depth, bottom row first when flip;
// its colour table the stored one when useStoredColors, else (up to 8 bits) the identity table
// (entry i names palette index i). 0 when there is none or it cannot be read; *result (when
// given) tells which.
DibHandle DibFromPictureResource(Handle card, int width, int height, int depth, bool flip, bool useStoredColors,
                                 PictureReadResult* result);
