// CRC-32 with the polynomial of zlib and PNG (reflected 0xEDB88320, start and final xor
// 0xFFFFFFFF): Crc32("123456789") is 0xCBF43926. Used to name pixel contents in reports.
#pragma once

#include <cstdint>
#include <span>

// Continues a running value: Crc32(b, Crc32(a)) == Crc32(a followed by b).
uint32_t Crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);
