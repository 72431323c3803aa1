// The image description stored in front of JPEG picture data (card pictures kept as JPEG and
// the stack preview): 86 bytes, every multi-byte field big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr size_t kJpegImageDescSize = 86;
inline constexpr uint32_t kCodecJpeg = 0x6A706567;  // 'jpeg'
// Where the description keeps what a reader checks (16-bit fields but the codec).
inline constexpr size_t kDescCodec = 4, kDescWidth = 32, kDescHeight = 34, kDescDepth = 82;

// Fills out with the description of a width x height picture of the given depth (1 to 32).
// The stored depth is 24 for a 16-bit picture; the data size is the stored rows of the given
// depth, ((width + 15) / 16) x depth x 2 bytes each. False, out zeroed, when a value is out of
// range: width or height outside 1..32767, or a depth outside 1..32.
bool BuildJpegImageDesc(std::span<uint8_t, kJpegImageDescSize> out, int32_t width, int32_t height,
                        int32_t depth);
