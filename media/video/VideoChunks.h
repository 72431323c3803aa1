// The movie ('Y') and videodisc ('w') chunks the video choice edits: a 32-byte chunk header
// and, for the videodisc, the start and end commands of 32 bytes each.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/ByteReader.h"
#include "core/memory/ShortRect.h"
#include "format/StackFile.h"

inline constexpr size_t kVideoCommandBytes = 32;
inline constexpr size_t kVideoChunkBytes = kChunkHeaderBytes + 2 * kVideoCommandBytes;

inline Rect32 VideoChunkRect(std::span<const uint8_t> chunk) {
    return {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
            GetI16(chunk, kObjectRect + 6)};
}

// Narrowed to the chunk's 16 bits.
inline void SetVideoChunkRect(std::span<uint8_t> chunk, const Rect32& r) {
    SetU16(chunk, kObjectRect, static_cast<uint16_t>(r.left));
    SetU16(chunk, kObjectRect + 2, static_cast<uint16_t>(r.top));
    SetU16(chunk, kObjectRect + 4, static_cast<uint16_t>(r.right));
    SetU16(chunk, kObjectRect + 6, static_cast<uint16_t>(r.bottom));
}

// The start (0) or end (1) command of a videodisc chunk; empty when the chunk is too short.
inline std::span<uint8_t> VideoChunkCommand(std::span<uint8_t> chunk, int which) {
    const size_t at = kChunkHeaderBytes + static_cast<size_t>(which) * kVideoCommandBytes;
    return chunk.size() >= at + kVideoCommandBytes ? chunk.subspan(at, kVideoCommandBytes) : std::span<uint8_t>{};
}
