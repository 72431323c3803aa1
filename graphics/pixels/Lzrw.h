// LZRW1 (the variant with copy lengths 3 to 18): the byte coder behind packed card pictures and
// the LZRW1 row records of pixel maps.
//
// Stream: a 4-byte flag header (byte 0: 0 compressed, 1 stored copy; bytes 1..3 written as 0 and
// never read, since row records keep their length there), then either the input unchanged
// (stored) or groups of a little-endian 16-bit control word and up to 16 items. Control bit 0
// describes the group's first item: 0 a literal byte, 1 a copy item b0 b1 with
// offset = (b0 & 0xF0) * 16 + b1 (1..4095) and length = (b0 & 0x0F) + 3 (3..18), copied byte by
// byte from that far back in the output. The last control word covers only the items after it
// and is left out when none follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kLzrwHeaderBytes = 4;
inline constexpr uint8_t kLzrwFlagCompressed = 0;
inline constexpr uint8_t kLzrwFlagStored = 1;
inline constexpr size_t kLzrwMinCopy = 3;
inline constexpr size_t kLzrwMaxCopy = 18;
inline constexpr size_t kLzrwMaxOffset = 4095;
// LZRW1 gives at most about 9 bytes of output for one stored byte; more cannot come out of them.
inline constexpr uint64_t kLzrwMaxGrowth = 9;

// The work area that callers hand to the compressor (the hash table plus room to align it).
inline constexpr size_t kLzrwWorkAreaBytes = 17000;

// Room the compressor's destination must have for an input of n bytes: the overrun test runs
// once per round of 16 items, so the output may pass n by 16 copy items and a control word
// before it falls back to a stored copy. The finished stream is never longer than n + 4.
constexpr size_t LzrwCompressBound(size_t n) { return n + 34; }

// Compresses source into destination. The work area must hold kLzrwWorkAreaBytes (any
// alignment); its table is cleared on every call, so equal input gives equal output. Input that
// does not shrink (among it every input shorter than 6 bytes) becomes a stored copy.
// Returns false, writing nothing and setting outLength to 0, when the work area or the
// destination (LzrwCompressBound(source.size())) is too small.
bool LzrwCompress(std::span<uint8_t> workArea, std::span<const uint8_t> source,
                  std::span<uint8_t> destination, size_t& outLength);

// Decodes a whole stream (flag header included) into destination. The stream carries no output
// length, so the destination's size is the limit: a stream that would write past it, copy from
// before the output's start or from the current position (offset 0), end inside an item or a
// control word, is shorter than its header, or has a flag other than 0 or 1 is damaged.
// Damaged: returns false with outLength 0 (destination bytes may have been written, never
// outside destination). An empty stream decodes to nothing: true with outLength 0.
// Only destination[0, outLength) is written.
bool LzrwDecompress(std::span<const uint8_t> stream, std::span<uint8_t> destination,
                    size_t& outLength);
